#include <gtest/gtest.h>

#include "app/PictureList.h"

namespace snapwick {
namespace {

std::string Three() {
  return std::string("/pics\0a.jpg\0b.jpg\0c.jpg", 23);
}

TEST(PictureList, SinglePictureIsDeliveredAgainAndAgain) {
  PictureList list;
  list.SetFiles("/pics/a.jpg");
  EXPECT_EQ(list.FileCount, 1);
  EXPECT_EQ(list.CurrentFile, 0);
  EXPECT_EQ(list.GetFile(), "/pics/a.jpg");
  EXPECT_EQ(list.GetFile(), "/pics/a.jpg");
  EXPECT_EQ(list.CurrentFile, 0);
  EXPECT_TRUE(list.HasMore());
  EXPECT_FALSE(list.StepBack());
  EXPECT_EQ(list.ShownNumber(), 1);
}

TEST(PictureList, SeveralPicturesAreWalkedToTheEnd) {
  PictureList list;
  list.SetFiles(Three());
  EXPECT_EQ(list.FileCount, 4);
  EXPECT_EQ(list.CurrentFile, 1);
  EXPECT_EQ(list.GetFile(), "/pics/a.jpg");
  EXPECT_EQ(list.CurrentFile, 2);
  EXPECT_EQ(list.ShownNumber(), 1);
  EXPECT_EQ(list.GetFile(), "/pics/b.jpg");
  EXPECT_EQ(list.GetFile(), "/pics/c.jpg");
  EXPECT_EQ(list.CurrentFile, 4);
  EXPECT_FALSE(list.HasMore());
  // Past the end nothing is delivered and the position stays.
  EXPECT_EQ(list.GetFile(), "");
  EXPECT_EQ(list.CurrentFile, 4);
}

TEST(PictureList, StepBackShowsThePictureBeforeTheShownOne) {
  PictureList list;
  list.SetFiles(Three());
  list.GetFile();  // a on screen
  EXPECT_FALSE(list.StepBack());
  list.GetFile();
  list.GetFile();  // c on screen
  EXPECT_TRUE(list.StepBack());
  EXPECT_EQ(list.CurrentFile, 2);
  EXPECT_EQ(list.GetFile(), "/pics/b.jpg");
  EXPECT_EQ(list.CurrentFile, 3);
  // Used up by "Next": the step back shows picture k - 1.
  list.GetFile();
  list.GetFile();
  EXPECT_TRUE(list.StepBack());
  EXPECT_EQ(list.GetFile(), "/pics/b.jpg");
}

TEST(PictureList, EmptySelectionIsUsedUpFromTheStart) {
  PictureList list;
  EXPECT_EQ(list.GetFile(), "");
  list.SetFiles("");
  EXPECT_FALSE(list.HasMore());
  EXPECT_EQ(list.GetFile(), "");
}

TEST(PictureList, RootFolderGivesADoubleSeparator) {
  PictureList list;
  list.SetFiles(std::string("/\0a.jpg\0b.jpg", 13));
  EXPECT_EQ(list.GetFile(), "//a.jpg");
}

TEST(PictureList, NewSelectionReplacesTheList) {
  PictureList list;
  list.SetFiles(Three());
  list.GetFile();
  list.SetFiles("/x/one.bmp");
  EXPECT_EQ(list.FileList.size(), 1u);
  EXPECT_EQ(list.GetFile(), "/x/one.bmp");
}

}  // namespace
}  // namespace snapwick

namespace snapwick {
namespace {

TEST(PictureListSelection, PathsGivenOneByOne) {
  EXPECT_EQ(PictureList::SelectionFor({}), "");
  EXPECT_EQ(PictureList::SelectionFor({"/p/a.jpg"}), "/p/a.jpg");
  EXPECT_EQ(PictureList::SelectionFor({"/p/a.jpg", "/p/b.jpg"}),
            std::string("/p\0a.jpg\0b.jpg", 14));
  EXPECT_EQ(PictureList::SelectionFor({"/a.jpg", "/b.jpg"}), std::string("/\0a.jpg\0b.jpg", 13));
}

TEST(PictureListSelection, SeveralFoldersKeepFullPathsInTheGivenOrder) {
  PictureList list;
  list.SetFiles(PictureList::SelectionFor({"/p/b.jpg", "/q/a.jpg", "/p/c.jpg"}));
  EXPECT_EQ(list.FileCount, 4);
  EXPECT_EQ(list.GetFile(), "/p/b.jpg");
  EXPECT_EQ(list.ShownNumber(), 1);
  EXPECT_EQ(list.GetFile(), "/q/a.jpg");
  EXPECT_EQ(list.GetFile(), "/p/c.jpg");
  EXPECT_EQ(list.GetFile(), "");
  EXPECT_TRUE(list.StepBack());
  EXPECT_EQ(list.GetFile(), "/q/a.jpg");
}

}  // namespace
}  // namespace snapwick
