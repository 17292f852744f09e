// The catalogues cover the texts that the program shows: every caption of the
// window's description has its English text, and no catalogue entry is left
// untranslated.
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app_texts.h"
#include "upload_texts.h"

namespace {

// msgid → msgstr of a .po file (header and comments skipped).
std::map<std::string, std::string> ReadPo(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::map<std::string, std::string> entries;
    std::string msgid;
    std::string msgstr;
    std::string* current = nullptr;
    auto flush = [&] {
        if (!msgid.empty()) entries[msgid] = msgstr;
        msgid.clear();
        msgstr.clear();
        current = nullptr;
    };
    auto unquote = [](const std::string& quoted) {
        std::string out;
        for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
            if (quoted[i] == '\\' && i + 2 < quoted.size()) {
                const char c = quoted[++i];
                out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
            } else {
                out += quoted[i];
            }
        }
        return out;
    };
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("msgid ", 0) == 0) {
            flush();
            current = &msgid;
            msgid = unquote(line.substr(6));
        } else if (line.rfind("msgstr ", 0) == 0) {
            current = &msgstr;
            msgstr = unquote(line.substr(7));
        } else if (line.rfind('"', 0) == 0 && current != nullptr) {
            *current += unquote(line);
        }
    }
    flush();
    return entries;
}

// The texts a user reads in a .ui file: captions and titles, not style
// sheets, numbers or the contact address.
std::set<std::string> UiTexts(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    std::set<std::string> texts;
    QString property;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"property") {
            property = xml.attributes().value(QStringLiteral("name")).toString();
        } else if (xml.name() == u"string" && (property == u"text" || property == u"windowTitle")) {
            const bool untranslated = xml.attributes().value(QStringLiteral("notr")) == u"true";
            const QString text = xml.readElementText();
            bool number = false;
            text.toInt(&number);
            if (!untranslated && !number && !text.contains(u'@')) texts.insert(text.toStdString());
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

TEST(CatalogueCoverage, EveryWindowCaptionHasItsEnglishText) {
    const auto english = ReadPo(KMP_SOURCE_DIR "/po/en.po");
    const auto texts = UiTexts(QStringLiteral(KMP_SOURCE_DIR "/app/TForm1.ui"));
    EXPECT_GE(texts.size(), 20u);
    for (const auto& text : texts) {
        const auto entry = english.find(text);
        ASSERT_NE(entry, english.end()) << "no English text for \"" << text << "\"";
        EXPECT_FALSE(entry->second.empty()) << text;
    }
}

// The texts that the window and the upload pass through the translator.
TEST(CatalogueCoverage, EveryMessageBoxTextHasItsEnglishText) {
    const auto english = ReadPo(KMP_SOURCE_DIR "/po/en.po");
    const char* const texts[] = {
        kmp::kWindowCaption,     kmp::kApplicationTitle,     kmp::kPortsFoundCaption,
        kmp::kNoPortCaption,     kmp::kNoPortText,           kmp::kErrorCaption,
        kmp::kCannotConnectText, kmp::kCannotConnectTextEnd, kmp::kLostOnDisconnectText,
        kmp::kLostOnCloseText,   kmp::kConnectCaption,       kmp::kDisconnectCaption,
        kmp::kChangedCaption,    kmp::kChangedText,          kmp::kNotCompiledCaption,
        kmp::kNotCompiledText,   kmp::kUnsavedCaption,       kmp::kUnsavedText,
        kmp::kLineOpenLampTip,   kmp::kBoardReadyLampTip,
    };
    for (const char* text : texts) {
        const auto entry = english.find(text);
        ASSERT_NE(entry, english.end()) << "no English text for \"" << text << "\"";
        EXPECT_FALSE(entry->second.empty()) << text;
    }
    // The file dialogs' descriptions, each the part before a "|" pattern.
    const std::string filter = kmp::kProgramOpenFilter;
    for (std::size_t start = 0; start < filter.size();) {
        const std::size_t bar = filter.find('|', start);
        const std::string description = filter.substr(start, bar - start);
        EXPECT_NE(english.find(description), english.end()) << description;
        const std::size_t next = filter.find('|', bar + 1);
        start = next == std::string::npos ? filter.size() : next + 1;
    }
}

struct CatalogueCase {
    const char* language;
    std::size_t entries;  // 0: any number
};

class CatalogueTest : public testing::TestWithParam<CatalogueCase> {};

// Every entry is translated, and keeps the spaces at its ends, which the
// program's texts rely on.
TEST_P(CatalogueTest, EntriesTranslatedWithTheirSpaces) {
    const auto entries = ReadPo(std::string(KMP_SOURCE_DIR "/po/") + GetParam().language + ".po");
    if (GetParam().entries != 0) {
        EXPECT_EQ(entries.size(), GetParam().entries);
    }
    for (const auto& [msgid, msgstr] : entries) {
        ASSERT_FALSE(msgstr.empty()) << msgid;
        EXPECT_NE(msgstr, msgid);
        EXPECT_EQ(msgstr.front() == ' ', msgid.front() == ' ') << msgid;
        EXPECT_EQ(msgstr.back() == ' ', msgid.back() == ' ') << msgid;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, CatalogueTest,
                         testing::Values(CatalogueCase{"sk", 23 + 1}, CatalogueCase{"en", 0}),
                         [](const testing::TestParamInfo<CatalogueCase>& p) {
                             return std::string(p.param.language);
                         });

}  // namespace
