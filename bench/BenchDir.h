// A folder of its own under /tmp for a benchmark's files, removed with everything in it when the
// benchmark ends.
#pragma once

#include <dirent.h>
#include <string>
#include <unistd.h>

class CBenchDir {
public:
    explicit CBenchDir(const char* name) {
        std::string pattern = std::string("/tmp/larkspur-") + name + "-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
        m_dir = made != nullptr ? made : "/tmp";
        m_made = made != nullptr;
    }
    ~CBenchDir() {
        DIR* dir = m_made ? ::opendir(m_dir.c_str()) : nullptr;
        if (dir == nullptr) {
            return;
        }
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                ::unlink(File(name).c_str());
            }
        }
        ::closedir(dir);
        ::rmdir(m_dir.c_str());
    }
    CBenchDir(const CBenchDir&) = delete;
    CBenchDir& operator=(const CBenchDir&) = delete;

    const std::string& Path() const { return m_dir; }
    std::string File(const std::string& name) const { return m_dir + "/" + name; }

private:
    std::string m_dir;
    bool m_made = false;
};
