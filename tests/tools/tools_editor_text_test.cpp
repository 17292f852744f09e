// EditorHeldText against the window's editor widget itself: what kmpc
// --text prints is what the editor gives back after it was given the text.
#include "editor_text.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <string>

namespace {

struct HeldCase {
    const char* name;
    std::string text;
};

class EditorText : public testing::TestWithParam<HeldCase> {};

TEST_P(EditorText, SameAsTheEditorWidget) {
    QPlainTextEdit editor;
    editor.setPlainText(QString::fromStdString(GetParam().text));
    EXPECT_EQ(kmp::EditorHeldText(GetParam().text), editor.toPlainText().toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Kmpc, EditorText,
    testing::Values(HeldCase{"Empty", ""}, HeldCase{"Ascii", "PROGRAM x:\nKONIEC\n"},
                    HeldCase{"BlankLinesAtEnd", "KONIEC\n\n\n"},
                    HeldCase{"Tabs", "\tVYSTUP\t(1,0,1)"},
                    HeldCase{"Slovak", "\xC5\xA1\xC4\xBEuk \xC3\x94\xC5\x94\xC5\xA0"},
                    HeldCase{"NoBreakSpace", "PROGRAM\xC2\xA0x:"},
                    HeldCase{"LineSeparator",
                             "a\xE2\x80\xA8"
                             "b"},
                    HeldCase{"ParagraphSeparator",
                             "a\xE2\x80\xA9"
                             "b"},
                    HeldCase{"FrameMarks",
                             "a\xEF\xB7\x90"
                             "b\xEF\xB7\x91"
                             "c"},
                    HeldCase{"CarriageReturn", "a\rb"}, HeldCase{"CrLf", "a\r\nb"},
                    HeldCase{"FormFeedAndVerticalTab", "a\fb\vc"},
                    HeldCase{"SoftHyphenAndZeroWidth",
                             "a\xC2\xAD"
                             "b\xE2\x80\x8B"
                             "c\xEF\xBB\xBF"},
                    HeldCase{"OutsideTheBasicPlane", "\xF0\x9F\x98\x80 \xE2\x82\xAC \xD0\xB6"},
                    HeldCase{"ControlCharacters", std::string("a\x01"
                                                              "b\x1F"
                                                              "c\x7F",
                                                              6)}),
    [](const testing::TestParamInfo<HeldCase>& param) { return std::string(param.param.name); });

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
