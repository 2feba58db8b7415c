// The document of the one document/view pair. The survey lives in the process-wide store, not
// here, so the document holds nothing and its standard commands can never touch a site file.
#pragma once

#include <string>

class CLarkspurDoc {
public:
    CLarkspurDoc() = default;
    virtual ~CLarkspurDoc() = default;

    CLarkspurDoc(const CLarkspurDoc&) = delete;
    CLarkspurDoc& operator=(const CLarkspurDoc&) = delete;

    // Ctrl+N: a new, empty document; there is nothing to reset.
    bool OnNewDocument();
    // Ctrl+O and Ctrl+S act on this empty document. They deliberately read and write nothing: a
    // standard save of an empty document would write an empty file over whatever was picked.
    bool OnOpenDocument(const std::string& path);
    bool OnSaveDocument(const std::string& path);

    // Nothing in the program ever sets it; kept so the frame can ask as a document frame does.
    bool IsModified() const { return m_bModified; }

private:
    bool m_bModified = false;
};
