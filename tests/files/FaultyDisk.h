// The real file system with one kind of operation failing for the files under one folder, the
// way a full, broken or pulled stick or a refused rename fails, and a log of the operations that
// change folders.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "files/PosixFileSystem.h"

class CFaultyDisk : public CPosixFileSystem {
public:
    enum Op {
        kNone,
        kOpen,
        kCreate,
        kRead,
        kWrite,
        kSync,
        kSyncData,
        kClose,
        kRename,
        kSyncFolder
    };

    // From now on, op fails with error on files under folder once `after` more calls of it have
    // gone through there (a read fails after its first chunk, as a bad sector would stop it).
    void Fail(Op op, int error, const std::string& folder, int after = 0);
    // With kWrite failing, the first `bytes` still fit, the write that reaches them cut short, as
    // on a disk filling up.
    void LeaveRoom(size_t bytes) { m_room = bytes; }
    void Heal() { m_op = kNone; }

    int Open(const std::string& path, int flags, mode_t mode) override;
    int CreateTemp(std::string& pathTemplate) override;
    ssize_t Read(int fd, void* data, size_t size) override;
    ssize_t Write(int fd, const void* data, size_t size) override;
    int Sync(int fd) override;
    int SyncData(int fd) override;
    int Close(int fd) override;
    int Rename(const std::string& from, const std::string& to) override;
    int Unlink(const std::string& path) override;
    int SyncFolder(const std::string& folder) override;

    // "rename FROM TO", "sync-folder DIR", "unlink PATH", in order.
    std::vector<std::string> log;

private:
    bool Fails(Op op, const std::string& path);

    Op m_op = kNone;
    int m_error = 0;
    std::string m_folder;
    int m_after = 0;
    size_t m_room = 0;
    std::map<int, std::string> m_paths;
};
