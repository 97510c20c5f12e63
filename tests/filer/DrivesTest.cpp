#include "FilerFrm/Drives.h"

#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace duoptic {
namespace {

struct MountCase {
    const char* name;
    std::string table;
    std::vector<std::string> roots;
};

class DriveRootsTest : public ::testing::TestWithParam<MountCase> {};

TEST_P(DriveRootsTest, OffersTheRootsThatHoldFiles) {
    EXPECT_EQ(driveRootsFromMountTable(GetParam().table), GetParam().roots);
}

const std::string kDesktop = "sysfs /sys sysfs rw,nosuid 0 0\n"
                             "proc /proc proc rw 0 0\n"
                             "udev /dev devtmpfs rw 0 0\n"
                             "devpts /dev/pts devpts rw 0 0\n"
                             "tmpfs /run tmpfs rw 0 0\n"
                             "/dev/sda2 / ext4 rw 0 0\n"
                             "securityfs /sys/kernel/security securityfs rw 0 0\n"
                             "tmpfs /dev/shm tmpfs rw 0 0\n"
                             "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                             "/dev/sda3 /home ext4 rw 0 0\n"
                             "/dev/sda1 /boot/efi vfat rw 0 0\n"
                             "tmpfs /tmp tmpfs rw 0 0\n"
                             "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                             "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n"
                             "/dev/sdb1 /run/media/ann/STICK vfat rw 0 0\n"
                             "binfmt_misc /proc/sys/fs/binfmt_misc binfmt_misc rw 0 0\n";

INSTANTIATE_TEST_SUITE_P(
    Tables, DriveRootsTest,
    ::testing::Values(
        MountCase{"Desktop", kDesktop, {"/", "/boot/efi", "/home", "/run/media/ann/STICK", "/tmp"}},
        MountCase{"EmptyTableStillHasTheRoot", "", {"/"}},
        MountCase{"RootMountedTwiceIsListedOnce",
                  "overlay / overlay rw 0 0\n/dev/vda / ext4 rw 0 0\n",
                  {"/"}},
        MountCase{"EscapedBlanksAndBackslash",
                  "/dev/sdc1 /media/My\\040Disk vfat rw 0 0\n"
                  "/dev/sdd1 /media/a\\134b\\011c ext4 rw 0 0\n",
                  {"/", "/media/My Disk", "/media/a\\b\tc"}},
        MountCase{"SameMountPointTwice",
                  "/dev/sdc1 /mnt/x ext4 rw 0 0\n/dev/sdc2 /mnt/x ext4 rw 0 0\n",
                  {"/", "/mnt/x"}},
        MountCase{"RunMediaItselfIsAPlaceButRunIsNot",
                  "tmpfs /run/lock tmpfs rw 0 0\n/dev/sdb1 /run/media vfat rw 0 0\n",
                  {"/", "/run/media"}},
        MountCase{"PrefixLookAlikesOfSystemTreesStay",
                  "/dev/sdb1 /procedures ext4 rw 0 0\n/dev/sdb2 /devel ext4 rw 0 0\n"
                  "/dev/sdb3 /runner ext4 rw 0 0\n",
                  {"/", "/devel", "/procedures", "/runner"}},
        MountCase{
            "ShortAndRelativeLinesAreIgnored", "garbage\nnone relative ext4 rw 0 0\n", {"/"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DriveOfCase {
    const char* name;
    std::string folder;
    std::string drive;
};

class DriveOfTest : public ::testing::TestWithParam<DriveOfCase> {};

TEST_P(DriveOfTest, IsTheLongestRootAboveTheFolder) {
    const std::vector<std::string> roots = {"/", "/home", "/home/ann/usb", "/media/My Disk"};
    EXPECT_EQ(driveOf(GetParam().folder, roots), GetParam().drive);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DriveOfTest,
    ::testing::Values(DriveOfCase{"Root", "/", "/"}, DriveOfCase{"OnRoot", "/usr/share", "/"},
                      DriveOfCase{"MountPointItself", "/home", "/home"},
                      DriveOfCase{"BelowMountPoint", "/home/ann/pics", "/home"},
                      DriveOfCase{"NestedMountWins", "/home/ann/usb/dcim", "/home/ann/usb"},
                      DriveOfCase{"NameThatOnlyStartsLikeAMount", "/homework", "/"},
                      DriveOfCase{"SiblingOfNestedMount", "/home/ann/usbx", "/home"},
                      DriveOfCase{"BlankInMountPoint", "/media/My Disk/a", "/media/My Disk"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic
