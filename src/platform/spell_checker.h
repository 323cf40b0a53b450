#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace velmar {

// Where a word lies in a text.
struct WordSpan {
    int start = 0;
    int length = 0;
};

// The words of a text as the spelling sees them: runs of letters, an apostrophe or a hyphen
// between two letters kept inside (don't, кто-то). A run that touches a digit (mp3, Ту-154) is
// no word to check and is left out.
std::vector<WordSpan> wordsOf(QStringView text);

// Checks Russian and English words with Hunspell's dictionaries and the user's own word list.
// A word is checked by the dictionary of its alphabet (Cyrillic: Russian, Latin: English); a
// word whose dictionary is not installed counts as correct, so without dictionaries nothing is
// ever marked. Answers are remembered: a text checked again on every key press looks each word
// up once.
class SpellChecker : public QObject {
    Q_OBJECT
public:
    // Reads ru_RU and en_US (or en_GB) from dictionaryFolder and the word list from personalFile
    // (one word a line, UTF-8; missing means empty).
    SpellChecker(const QString& dictionaryFolder, const QString& personalFile, QObject* parent = nullptr);
    ~SpellChecker() override;

    bool hasDictionaries() const;
    bool isCorrect(const QString& word);
    // Hunspell's suggestions for a word, at most `count`.
    QStringList suggestions(const QString& word, int count = 7);
    // Takes the word into the user's list and writes the list; false (the word still taken for
    // this session) when the file cannot be written.
    bool addToPersonal(const QString& word);
    QString personalFile() const { return m_personalFile; }

    // The checker the program's text boxes share, made on first use: Debian's dictionary folder
    // /usr/share/hunspell (VELMAR_DICTIONARY_DIR overrides it) and dictionary.txt beside the
    // user's settings.
    static SpellChecker& shared();
    // Starts reading the shared checker's dictionaries on a thread of their own, so that the
    // first text the user clicks into does not wait for them (about half a second for Russian).
    // The shared checker made later takes what was read, waiting for the rest if need be.
    static void preloadShared();
    // The dictionaries a checker reads from a folder.
    struct Dictionaries;

signals:
    // A word was added: marks shown are to be checked again.
    void personalChanged();

private:
    class Dictionary;
    SpellChecker(Dictionaries dictionaries, const QString& personalFile);
    void readPersonal();
    Dictionary* dictionaryFor(const QString& word) const;

    std::unique_ptr<Dictionary> m_russian, m_english;
    QString m_personalFile;
    QSet<QString> m_personal;
    QHash<QString, bool> m_known;
};

}  // namespace velmar
