// The device-folder watcher against folders of its own: links made and
// removed as udev does, a folder that appears later, and a flood of nodes.
#include "PortWatcher.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace kmp {
namespace {

namespace fs = std::filesystem;

class PortWatcherTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    fs::path root() const { return dir.path().toStdString(); }
};

TEST_F(PortWatcherTest, ALinkMadeAndRemovedEachGiveOneChange) {
    PortWatcher watcher({dir.path()}, 50);
    ASSERT_TRUE(watcher.Watching());
    QSignalSpy changed(&watcher, &PortWatcher::Changed);
    fs::create_symlink("/dev/null", root() / "ttyUSB7");
    ASSERT_TRUE(changed.wait(2000));
    fs::remove(root() / "ttyUSB7");
    ASSERT_TRUE(changed.wait(2000));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(PortWatcherTest, AFolderThatAppearsLaterIsWatchedToo) {
    const QString byId = dir.path() + "/serial/by-id";
    PortWatcher watcher({dir.path(), dir.path() + "/serial", byId}, 20);
    QSignalSpy changed(&watcher, &PortWatcher::Changed);
    fs::create_directories(root() / "serial" / "by-id");
    ASSERT_TRUE(changed.wait(2000));
    changed.clear();
    fs::create_symlink("../../ttyUSB0", root() / "serial" / "by-id" / "usb-Maker_Adapter-if00");
    ASSERT_TRUE(changed.wait(2000));
}

TEST_F(PortWatcherTest, AFloodOfNodesSettlesIntoFewChanges) {
    PortWatcher watcher({dir.path()}, 200);
    QSignalSpy changed(&watcher, &PortWatcher::Changed);
    for (int i = 0; i < 20; ++i) {
        const fs::path node = root() / ("ttyACM" + std::to_string(i));
        fs::create_symlink("/nowhere", node);  // a link that points nowhere
        if (i % 2) fs::remove(node);           // gone again at once
    }
    ASSERT_TRUE(changed.wait(2000));
    changed.wait(400);
    // Forty events at most settle into one change, two if the burst was cut.
    EXPECT_LE(changed.count(), 2);
}

}  // namespace
}  // namespace kmp
