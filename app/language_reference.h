// The language reference (docs/jazyk.md, in English docs/language.md) as
// the window shows it: whole for F1, and each statement's form and ranges
// as the tooltip of its keywords.
#pragma once

#include <QList>
#include <QString>

namespace kmp {

class LanguageReference {
public:
    // The reference in the window's language: English when the window's
    // texts are translated, Slovak otherwise. Read once.
    static const LanguageReference& ForWindow();
    // Reads `markdown`, a text of the reference's structure.
    explicit LanguageReference(QString markdown);

    const QString& Markdown() const { return markdown_; }
    // The statement section whose form holds `keyword` as a word, first of
    // all the statement's own ("### VYSTUP" for VYSTUP and CAS); empty when
    // none does.
    QString SectionOf(const QString& keyword) const;
    // That section's paragraph of the form and ranges ("Tvar: ..."), on one
    // line; empty when none.
    QString FormOf(const QString& keyword) const;

private:
    struct Section {
        QString title;  // the heading without "### "
        QString form;   // the paragraph of the form
    };
    const Section* Find(const QString& keyword) const;

    QString markdown_;
    QList<Section> sections_;
};

}  // namespace kmp
