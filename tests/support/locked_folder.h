// A folder in which no file can be created while the object lives, for the patch's
// file-system tests under Wine. As root neither the read-only attribute nor Unix
// permissions stop file creation there; the Linux immutable flag on the folder does, so
// the folder is locked by running chattr through Wine. Windows builds only.
#pragma once

#if defined(_WIN32)

#include <string>

// Every locked folder's name starts so: tools/wine-test.sh clears the flag on any such
// folder that a crashed test left behind, since nobody could delete it otherwise.
inline constexpr char kLockedFolderPrefix[] = "tomeshift-locked-";

class LockedFolder {
public:
    // Creates a new, unlocked folder named with the prefix inside parent.
    explicit LockedFolder(const std::string& parent);
    // Unlocks the folder, so that whoever removes parent can remove it too.
    ~LockedFolder();
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // name joined to the folder.
    std::string Path(const std::string& name) const { return m_path + "\\" + name; }

    // Locks the folder. Returns an empty string once creating a file in it fails with
    // ERROR_ACCESS_DENIED; otherwise why it could not be locked, for the test to skip.
    std::string Lock();

private:
    std::string m_path;
    std::string m_unixPath;  // empty until Lock has found it
};

#endif
