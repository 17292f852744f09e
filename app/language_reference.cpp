#include "language_reference.h"

#include "app_texts.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

// The resource lives in a static library: make sure it is registered.
static void InitReferenceResource() {
    Q_INIT_RESOURCE(language_reference);
}

namespace kmp {

const LanguageReference& LanguageReference::ForWindow() {
    static const LanguageReference reference([] {
        InitReferenceResource();
        const bool translated = QCoreApplication::translate("kmp::TForm1", kWindowCaption) !=
                                QString::fromUtf8(kWindowCaption);
        QFile file(translated ? QStringLiteral(":/reference/language.md")
                              : QStringLiteral(":/reference/jazyk.md"));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }());
    return reference;
}

LanguageReference::LanguageReference(QString markdown) : markdown_(std::move(markdown)) {
    // A statement section: its "### " heading, then paragraphs; the one of
    // its form is the first after the heading.
    const QStringList lines = markdown_.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1String("### "))) continue;
        Section section{lines[i].mid(4).trimmed(), {}};
        qsizetype j = i + 1;
        while (j < lines.size() && lines[j].trimmed().isEmpty()) ++j;
        QStringList paragraph;
        for (; j < lines.size() && !lines[j].trimmed().isEmpty(); ++j) paragraph << lines[j];
        section.form = paragraph.join(QLatin1Char(' '));
        sections_.append(section);
    }
}

const LanguageReference::Section* LanguageReference::Find(const QString& keyword) const {
    if (keyword.isEmpty()) return nullptr;
    for (const Section& section : sections_)
        if (section.title.startsWith(keyword + QLatin1Char(' ')) || section.title == keyword)
            return &section;
    const QRegularExpression word(QStringLiteral("\\b") + QRegularExpression::escape(keyword) +
                                  QStringLiteral("\\b"));
    for (const Section& section : sections_)
        if (section.form.contains(word)) return &section;
    return nullptr;
}

QString LanguageReference::SectionOf(const QString& keyword) const {
    const Section* section = Find(keyword);
    return section ? section->title : QString();
}

QString LanguageReference::FormOf(const QString& keyword) const {
    const Section* section = Find(keyword);
    if (!section) return {};
    QString form = section->form;
    return form.remove(QLatin1Char('`'));
}

}  // namespace kmp
