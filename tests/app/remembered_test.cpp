#include "app/remembered.h"

#include <gtest/gtest.h>

namespace trv810::app {
namespace {

using Files = std::vector<std::string>;

// Choose COM3, load a file from a folder, flash an image, quit, start again.
TEST(Remembered, PortFoldersFilesAndPositionComeBackAfterARestart) {
  platform::MemorySettings store;
  {
    Remembered run(store);
    EXPECT_EQ(run.port(), "");
    EXPECT_EQ(run.folder(FileKind::Configuration), "");
    EXPECT_FALSE(run.mainWindowPosition());
    run.setPort("COM3");
    run.noteChosenFile(FileKind::Configuration, "/daten/wache süd/anlage.kfg");
    run.noteUsedFile(FileKind::Configuration, "/daten/wache süd/anlage.kfg");
    run.noteUsedFile(FileKind::Firmware, "/fw/v107.hex");
    run.setMainWindowPosition({-1200, 40});  // a screen left of the first one
  }
  store.load();  // what the next run finds
  Remembered next(store);
  EXPECT_EQ(next.port(), "COM3");
  EXPECT_EQ(next.folder(FileKind::Configuration), "/daten/wache süd");
  EXPECT_EQ(next.recentFiles(FileKind::Configuration), Files{"/daten/wache süd/anlage.kfg"});
  EXPECT_EQ(next.folder(FileKind::Firmware), "/fw");
  EXPECT_EQ(next.recentFiles(FileKind::Firmware), Files{"/fw/v107.hex"});
  EXPECT_EQ(next.mainWindowPosition(), (WindowPosition{-1200, 40}));

  // A store that cannot be written keeps the choice for the run only.
  store.writable = false;
  next.setPort("COM5");
  EXPECT_EQ(next.port(), "COM5");
  store.load();
  EXPECT_EQ(next.port(), "COM3");
}

TEST(Remembered, RecentFilesAreTheLastFiveMostRecentFirstEachOnce) {
  platform::MemorySettings store;
  Remembered remembered(store);
  for (const char* name : {"/a/1.kfg", "/a/2.kfg", "/a/3.kfg", "/b/4.kfg", "/b/5.kfg", "/b/6.kfg"})
    remembered.noteUsedFile(FileKind::Configuration, name);
  remembered.noteUsedFile(FileKind::Configuration, "/a/3.kfg");  // again: to the front, not twice
  EXPECT_EQ(remembered.recentFiles(FileKind::Configuration),
            (Files{"/a/3.kfg", "/b/6.kfg", "/b/5.kfg", "/b/4.kfg", "/a/2.kfg"}));
  EXPECT_EQ(remembered.folder(FileKind::Configuration), "/a");
  EXPECT_TRUE(remembered.recentFiles(FileKind::Firmware).empty());  // each kind its own

  // A file chosen that then fails to load moves the folder, not the list; a bare name
  // has no folder to move it to.
  remembered.noteChosenFile(FileKind::Configuration, "/c/kaputt.kfg");
  remembered.noteChosenFile(FileKind::Configuration, "ohne-ordner.kfg");
  EXPECT_EQ(remembered.folder(FileKind::Configuration), "/c");
  EXPECT_EQ(remembered.recentFiles(FileKind::Configuration).front(), "/a/3.kfg");

  // Nothing new, nothing written: a store on a slow share is not written for nothing.
  remembered.noteUsedFile(FileKind::Configuration, "/a/3.kfg");
  const int saves = store.saves;
  remembered.noteUsedFile(FileKind::Configuration, "/a/3.kfg");
  remembered.noteChosenFile(FileKind::Configuration, "/a/x.kfg");
  remembered.setPort(remembered.port());
  EXPECT_EQ(store.saves, saves);
}

// The store is a file or a registry key a user can edit: what is in it is checked.
TEST(Remembered, WhatTheStoreHoldsIsTakenAsFoundByHand) {
  platform::MemorySettings store;
  store.setList("recentConfigs", {"/x/1.kfg", "/x/1.kfg", "/x/2.kfg", "/x/3.kfg", "/x/4.kfg", "/x/5.kfg", "/x/6.kfg"});
  store.setList("port", {"COM3"});
  Remembered remembered(store);
  EXPECT_EQ(remembered.recentFiles(FileKind::Configuration),
            (Files{"/x/1.kfg", "/x/2.kfg", "/x/3.kfg", "/x/4.kfg", "/x/5.kfg"}));
  EXPECT_EQ(remembered.port(), "");
  for (const char* position : {"", "12", "12,", "12,x", "1,2,3", "99999999999,0", " 1,2"}) {
    store.setText("mainWindowPosition", position);
    EXPECT_FALSE(remembered.mainWindowPosition()) << position;
  }
}

}  // namespace
}  // namespace trv810::app
