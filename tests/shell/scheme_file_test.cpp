#include <gtest/gtest.h>

#include "shell/field_reader.h"
#include "shell/scheme_file.h"

using namespace storyloom;

namespace {

SchemeFile read(const char* text) {
  FieldReader f{QByteArray(text)};
  return readSchemeFile(f);
}

}  // namespace

TEST(SchemeFile, ReadsEveryFieldOfACurrentScheme) {
  const SchemeFile s = read(
      "\"Night\",1,0,4,\"a.bmp\",\"[NONE]\",\"c.bmp\",\"d.bmp\",4,255,65280,16711680,"
      "8421504,0,0,0,1,0,1,#TRUE#\r\n");
  EXPECT_FALSE(s.endsBeforePictures);
  EXPECT_EQ(s.pictures, QStringList({"a.bmp", "[NONE]", "c.bmp", "d.bmp"}));
  EXPECT_FALSE(SchemeFile::namesPicture(s.pictures[1]));
  EXPECT_TRUE(SchemeFile::namesPicture(s.pictures[0]));
  EXPECT_EQ(s.formatLevel, 4);
  EXPECT_EQ(s.backgroundColour, 255);
  EXPECT_EQ(s.titleColour, 65280);
  EXPECT_EQ(s.textColour, 16711680);
  EXPECT_EQ(s.buttonColour, 8421504);
  EXPECT_EQ(s.hideTitle, true);
  EXPECT_EQ(s.logoNumber, 1);
  EXPECT_EQ(s.logoFlag, true);
}

TEST(SchemeFile, PicturesThatCannotBeReadAreDefaultAndTheFileEndsWithoutAnError) {
  // The file ends inside the pictures: the missing names are "[default]" and nothing else
  // is read.
  const SchemeFile cut = read("0,0,0,3,\"a.bmp\"");
  EXPECT_FALSE(cut.endsBeforePictures);
  EXPECT_EQ(cut.pictures, QStringList({"a.bmp", "[default]", "[default]"}));
  EXPECT_EQ(cut.formatLevel, 0);
  EXPECT_FALSE(cut.backgroundColour);

  // A count of 0, or one that is not a number, ends the file before the pictures even when
  // more follows.
  for (const char* text : {"0,0,0,0,\"a.bmp\",4,1,2,3,4", "0,0,0,many,\"a.bmp\",4,1,2,3,4", "0,0"}) {
    const SchemeFile none = read(text);
    EXPECT_TRUE(none.endsBeforePictures) << text;
    EXPECT_TRUE(none.pictures.isEmpty()) << text;
    EXPECT_FALSE(none.backgroundColour) << text;
  }

  // A huge count in a short file does not read on for ever.
  const SchemeFile huge = read("0,0,0,2000000000,\"a.bmp\"");
  EXPECT_EQ(huge.pictures.size(), 4);
}

TEST(SchemeFile, AfterThePicturesAFailingReadEndsTheSchemeWithWhatWasRead) {
  struct Case {
    const char* text;
    double level;
    std::optional<qint32> background, title, textColour, button;
    std::optional<bool> hideTitle;
    std::optional<qint16> logoNumber;
    std::optional<bool> logoFlag;
  };
  const Case cases[] = {
      // level 0: nothing after it counts
      {"0,0,0,1,\"[none]\",0,255,255,255", 0, {}, {}, {}, {}, {}, {}, {}},
      // old level 3 ending after the colours: no button colour, title and logo untouched
      {"0,0,0,1,\"[none]\",3,1,2,3\r\n", 3, 1, 2, 3, {}, {}, {}, {}},
      // level 3 never reads a button colour; the title flag and the logo follow
      {"0,0,0,1,\"[none]\",3,1,2,3,x,x,x,0,x,1,#FALSE#", 3, 1, 2, 3, {}, false, 1, false},
      // a bad title colour: the background colour stays, nothing after it is read
      {"0,0,0,1,\"[none]\",4,1,red,3,4,x,x,x,1", 4, 1, {}, {}, {}, {}, {}, {}},
      // the file ends after the title flag
      {"0,0,0,1,\"[none]\",4,1,2,3,4,x,x,x,1", 4, 1, 2, 3, 4, true, {}, {}},
      // a logo number too large for an Integer ends it there
      {"0,0,0,1,\"[none]\",4,1,2,3,4,x,x,x,0,x,70000,#TRUE#", 4, 1, 2, 3, 4, false, {}, {}},
      // a logo flag that is not a Boolean keeps the logo number
      {"0,0,0,1,\"[none]\",4,1,2,3,4,x,x,x,0,x,1,maybe", 4, 1, 2, 3, 4, false, 1, {}},
  };
  for (const Case& c : cases) {
    const SchemeFile s = read(c.text);
    EXPECT_EQ(s.formatLevel, c.level) << c.text;
    EXPECT_EQ(s.backgroundColour, c.background) << c.text;
    EXPECT_EQ(s.titleColour, c.title) << c.text;
    EXPECT_EQ(s.textColour, c.textColour) << c.text;
    EXPECT_EQ(s.buttonColour, c.button) << c.text;
    EXPECT_EQ(s.hideTitle, c.hideTitle) << c.text;
    EXPECT_EQ(s.logoNumber, c.logoNumber) << c.text;
    EXPECT_EQ(s.logoFlag, c.logoFlag) << c.text;
  }
}
