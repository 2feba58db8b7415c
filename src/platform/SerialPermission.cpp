// The permission text, read from the device node's owner, group and mode.
#include "platform/SerialPermission.h"

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/SerialPort.h"

namespace {

// The reentrant look-ups (getgrgid_r, getpwuid_r): the I/O thread may open ports while the
// window asks.
constexpr size_t kLookUpRoom = 16384;

template <typename Entry, typename Id, typename LookUp>
bool lookUp(LookUp function, Id id, Entry& entry, std::vector<char>& room) {
    Entry* found = nullptr;
    return function(id, &entry, room.data(), room.size(), &found) == 0 && found != nullptr;
}

std::string groupName(gid_t gid) {
    std::vector<char> room(kLookUpRoom);
    group entry{};
    return lookUp(getgrgid_r, gid, entry, room) ? entry.gr_name : std::to_string(gid);
}

std::string userName(uid_t uid) {
    std::vector<char> room(kLookUpRoom);
    passwd entry{};
    return lookUp(getpwuid_r, uid, entry, room) ? entry.pw_name : "$USER";
}

} // namespace

std::string serialPermissionText(const std::string& name, int error) {
    if (error != EACCES && error != EPERM) {
        return std::string();
    }
    const std::string path = CSerialPort::DevicePath(name);
    std::string text =
        "Permission denied: this program may not open the receiver board's port " + path + ".";
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return text;
    }
    const std::string group = groupName(st.st_gid);
    const mode_t groupReadWrite = S_IRGRP | S_IWGRP;
    if ((st.st_mode & groupReadWrite) != groupReadWrite) {
        // Joining the group would not help: the node itself needs a rule first.
        return text + "\n\nOnly its owner, " + userName(st.st_uid) +
               ", may open it, not the members of its group \"" + group +
               "\". Ask your administrator for a udev rule that lets the group \"" + group +
               "\" read and write it, then join that group.";
    }
    return text + "\n\nThe port belongs to the group \"" + group +
           "\". Add yourself to that group:\n\n    sudo usermod -aG " + group + " " +
           userName(::getuid()) +
           "\n\nthen log out and log in again: a new group counts from the next login on.";
}
