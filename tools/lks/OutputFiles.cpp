// Output files: identity by device and inode where the files exist, by resolved folder and name
// where they do not yet; writing through the files layer's atomic replacement.
#include "OutputFiles.h"

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/Folders.h"

namespace lks {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) {
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    return AbsolutePath(a) == AbsolutePath(b);
}

bool CheckOutputs(const std::vector<std::string>& inputs, const std::vector<OutputFile>& outputs,
                  std::string& error) {
    for (size_t i = 0; i < outputs.size(); ++i) {
        const OutputFile& out = outputs[i];
        for (const std::string& input : inputs) {
            if (SameFile(out.path, input)) {
                error = out.option + " " + out.path + " is an input (" + input +
                        "): an output never replaces what it is made from";
                return false;
            }
        }
        for (size_t j = 0; j < i; ++j) {
            if (SameFile(out.path, outputs[j].path)) {
                error =
                    out.option + " and " + outputs[j].option + " name the same file " + out.path;
                return false;
            }
        }
    }
    return true;
}

bool WriteOutputs(const std::vector<OutputFile>& outputs, std::string& error) {
    std::vector<std::unique_ptr<CAtomicFile>> files;
    for (const OutputFile& out : outputs) {
        files.push_back(std::make_unique<CAtomicFile>());
        CAtomicFile& file = *files.back();
        if (!file.Begin(out.path) || !file.Write(out.bytes.data(), out.bytes.size())) {
            error = "cannot write " + out.path + ": " + SystemErrorText(file.Error());
            return false; // the temporary files go with their objects
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->Commit()) {
            error = "cannot write " + outputs[i].path + ": " + SystemErrorText(files[i]->Error());
            for (size_t j = 0; j < i; ++j) {
                ::unlink(files[j]->TargetPath().c_str());
            }
            return false;
        }
    }
    return true;
}

} // namespace lks
