// The document holds nothing: every standard document command leaves files and survey untouched.
#include "shell/LarkspurDoc.h"

bool CLarkspurDoc::OnNewDocument() {
    m_bModified = false;
    return true;
}

bool CLarkspurDoc::OnOpenDocument(const std::string& /*path*/) {
    return true;
}

bool CLarkspurDoc::OnSaveDocument(const std::string& /*path*/) {
    return true;
}
