#include "platform/spell_checker.h"

#include "system/file_io.h"
#include "system/interface_language.h"
#include "system/program_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <future>
#include <mutex>
#include <optional>
#include <string>

namespace velmar {

namespace {

// Remembered answers are dropped beyond this many words, so that a long session stays small.
constexpr int kKnownWordsLimit = 50000;
// The word list is read up to this size; a larger file is taken as far as that.
constexpr qint64 kPersonalFileLimit = 4 * 1024 * 1024;

bool isWordLetter(QChar c) { return c.isLetter() || c.category() == QChar::Mark_NonSpacing; }

bool isInnerJoiner(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(0x2019) || c == QLatin1Char('-') || c == QChar(0x2010);
}

bool isCyrillic(QChar c) { return c.script() == QChar::Script_Cyrillic; }

}  // namespace

std::vector<WordSpan> wordsOf(QStringView text)
{
    std::vector<WordSpan> words;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        if (!isWordLetter(text[i])) {
            ++i;
            continue;
        }
        const int start = i;
        bool digit = start > 0 && text[start - 1].isDigit();
        while (i < n) {
            if (isWordLetter(text[i]))
                ++i;
            else if (isInnerJoiner(text[i]) && i + 1 < n && isWordLetter(text[i + 1]))
                i += 2;
            else
                break;
        }
        if (i < n && (text[i].isDigit() || (isInnerJoiner(text[i]) && i + 1 < n && text[i + 1].isDigit())))
            digit = true;
        if (digit) {
            // The rest of a run such as "Ту-154" or "mp3x" belongs to it.
            while (i < n && (text[i].isLetterOrNumber() || isInnerJoiner(text[i])))
                ++i;
            continue;
        }
        words.push_back({start, i - start});
    }
    return words;
}

namespace {

// Hunspell lives in a module of its own (platform/spelling/hunspell_dictionary.cpp), loaded with
// the first dictionary: the start-up maps none of it.
struct HunspellModule {
    void* (*open)(const char* aff, const char* dic, std::string* encoding) = nullptr;
    void (*close)(void* dictionary) = nullptr;
    bool (*spell)(void* dictionary, const std::string* word) = nullptr;
    void (*suggest)(void* dictionary, const std::string* word, std::vector<std::string>* found) = nullptr;
};

const HunspellModule& hunspell()
{
    // Loaded once, by whichever thread reads the first dictionary.
    static const HunspellModule module = [] {
        HunspellModule m;
        QString error;
        const auto found = loadProgramModule(
            QStringLiteral("velmar_spelling.so"), "VELMAR_SPELLING_MODULE",
            {"velmarOpenDictionary", "velmarCloseDictionary", "velmarSpell", "velmarSuggest"}, &error);
        if (found.size() == 4) {
            m.open = reinterpret_cast<decltype(m.open)>(found[0]);
            m.close = reinterpret_cast<decltype(m.close)>(found[1]);
            m.spell = reinterpret_cast<decltype(m.spell)>(found[2]);
            m.suggest = reinterpret_cast<decltype(m.suggest)>(found[3]);
        } else {
            // Without the module no word is marked, as without dictionaries; whoever looks at the
            // terminal learns why.
            const QString why =
                error.isEmpty()
                    ? QCoreApplication::translate("SpellChecker", "Модуль проверки орфографии не найден.")
                    : QCoreApplication::translate("SpellChecker", "Модуль проверки орфографии не загружается: %1")
                          .arg(error);
            std::fprintf(stderr, "%s\n", why.toLocal8Bit().constData());
        }
        return m;
    }();
    return module;
}

// Hunspell keeps tables that every dictionary shares, made with the first dictionary opened and
// freed with the last one closed, unguarded: dictionaries are opened and closed under this lock,
// since the shared ones are read on a thread of their own while others may be made here.
std::mutex& dictionarySetUp()
{
    static std::mutex lock;
    return lock;
}

}  // namespace

// One Hunspell dictionary, with the conversion of words into the encoding its files use.
class SpellChecker::Dictionary {
public:
    Dictionary() = default;
    ~Dictionary()
    {
        if (m_hunspell) {
            const std::lock_guard<std::mutex> settingUp(dictionarySetUp());
            hunspell().close(m_hunspell);
        }
    }
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    static std::unique_ptr<Dictionary> load(const QDir& folder, const QStringList& names)
    {
        for (const QString& name : names) {
            const QString aff = folder.filePath(name + QStringLiteral(".aff"));
            const QString dic = folder.filePath(name + QStringLiteral(".dic"));
            if (!QFileInfo(aff).isFile() || !QFileInfo(dic).isFile())
                continue;
            if (!hunspell().open)
                return nullptr;
            auto dictionary = std::make_unique<Dictionary>();
            std::string dictionaryEncoding;
            const std::lock_guard<std::mutex> settingUp(dictionarySetUp());
            dictionary->m_hunspell = hunspell().open(QFile::encodeName(aff).constData(),
                                                     QFile::encodeName(dic).constData(), &dictionaryEncoding);
            const QByteArray encoding = QByteArray::fromStdString(dictionaryEncoding);
            dictionary->m_utf8 = encoding.compare("UTF-8", Qt::CaseInsensitive) == 0;
            if (!dictionary->m_utf8) {
                dictionary->m_encoding = encoding;
                if (!QStringEncoder(encoding.constData()).isValid())
                    continue;  // a dictionary in an encoding this system cannot convert into
            }
            return dictionary;
        }
        return nullptr;
    }

    bool spell(const QString& word) const
    {
        const auto bytes = encode(word);
        // A word the dictionary's encoding cannot hold is not its to judge.
        return !bytes || hunspell().spell(m_hunspell, &*bytes);
    }

    QStringList suggest(const QString& word, int count) const
    {
        QStringList found;
        const auto bytes = encode(word);
        if (!bytes)
            return found;
        std::vector<std::string> suggested;
        hunspell().suggest(m_hunspell, &*bytes, &suggested);
        for (const std::string& s : suggested) {
            if (found.size() >= count)
                break;
            const QByteArray raw = QByteArray::fromStdString(s);
            found << (m_utf8 ? QString::fromUtf8(raw) : QString(QStringDecoder(m_encoding.constData()).decode(raw)));
        }
        return found;
    }

private:
    std::optional<std::string> encode(const QString& word) const
    {
        if (m_utf8)
            return word.toUtf8().toStdString();
        QStringEncoder encoder(m_encoding.constData(), QStringConverter::Flag::ConvertInvalidToNull);
        const QByteArray bytes = encoder.encode(word);
        if (encoder.hasError() || bytes.contains('\0'))
            return std::nullopt;
        return bytes.toStdString();
    }

    void* m_hunspell = nullptr;  // the module's Hunspell
    bool m_utf8 = true;
    QByteArray m_encoding;
};

struct SpellChecker::Dictionaries {
    std::unique_ptr<Dictionary> russian, english;

    static Dictionaries readFrom(const QString& dictionaryFolder)
    {
        const QDir folder(dictionaryFolder);
        return {Dictionary::load(folder, {QStringLiteral("ru_RU")}),
                Dictionary::load(folder, {QStringLiteral("en_US"), QStringLiteral("en_GB")})};
    }
};

SpellChecker::SpellChecker(const QString& dictionaryFolder, const QString& personalFile, QObject* parent)
    : QObject(parent), m_personalFile(personalFile)
{
    Dictionaries read = Dictionaries::readFrom(dictionaryFolder);
    m_russian = std::move(read.russian);
    m_english = std::move(read.english);
    readPersonal();
}

SpellChecker::SpellChecker(Dictionaries dictionaries, const QString& personalFile)
    : m_russian(std::move(dictionaries.russian)), m_english(std::move(dictionaries.english)),
      m_personalFile(personalFile)
{
    readPersonal();
}

void SpellChecker::readPersonal()
{
    QString problem;
    if (QFileInfo(m_personalFile).isFile())
        if (const auto bytes = readRegularFile(m_personalFile, kPersonalFileLimit, &problem))
            for (const QString& line : QString::fromUtf8(*bytes).split(QLatin1Char('\n'))) {
                const QString word = line.trimmed();
                if (!word.isEmpty())
                    m_personal.insert(word);
            }
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::hasDictionaries() const { return m_russian || m_english; }

SpellChecker::Dictionary* SpellChecker::dictionaryFor(const QString& word) const
{
    for (const QChar c : word)
        if (isCyrillic(c))
            return m_russian.get();
    return m_english.get();
}

bool SpellChecker::isCorrect(const QString& word)
{
    const auto known = m_known.constFind(word);
    if (known != m_known.constEnd())
        return *known;
    bool correct = true;
    if (Dictionary* dictionary = dictionaryFor(word)) {
        // A word of the user's list is also right capitalised at the start of a sentence, or in capitals.
        correct = m_personal.contains(word) || m_personal.contains(word.toLower()) || dictionary->spell(word);
        // "Ёж" is spelt "Еж" as often: either passes when the dictionary knows one of them.
        if (!correct && word.contains(QChar(0x0451), Qt::CaseInsensitive)) {
            QString plain = word;
            plain.replace(QChar(0x0451), QChar(0x0435)).replace(QChar(0x0401), QChar(0x0415));
            correct = dictionary->spell(plain);
        }
    }
    if (m_known.size() >= kKnownWordsLimit)
        m_known.clear();
    m_known.insert(word, correct);
    return correct;
}

QStringList SpellChecker::suggestions(const QString& word, int count)
{
    Dictionary* dictionary = dictionaryFor(word);
    return dictionary ? dictionary->suggest(word, count) : QStringList();
}

bool SpellChecker::addToPersonal(const QString& word)
{
    if (word.isEmpty())
        return true;
    m_personal.insert(word);
    m_known.clear();
    emit personalChanged();
    QStringList words(m_personal.cbegin(), m_personal.cend());
    words.sort();
    const QByteArray content = (words.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    QDir().mkpath(QFileInfo(m_personalFile).absolutePath());
    return replaceFile(m_personalFile, {QByteArrayView(content)}, true).ok;
}

namespace {

QString sharedDictionaryFolder()
{
    const QString folder = qEnvironmentVariable("VELMAR_DICTIONARY_DIR");
    return folder.isEmpty() ? QStringLiteral("/usr/share/hunspell") : folder;
}

}  // namespace

// The dictionaries being read for the shared checker, while it is not made yet (GUI thread only).
static std::future<std::unique_ptr<SpellChecker::Dictionaries>>& pendingDictionaries()
{
    static std::future<std::unique_ptr<SpellChecker::Dictionaries>> pending;
    return pending;
}

static bool s_sharedMade = false;

SpellChecker& SpellChecker::shared()
{
    static SpellChecker* checker = [] {
        const QString personal = QFileInfo(userSettingsFile()).dir().filePath(QStringLiteral("dictionary.txt"));
        auto& pending = pendingDictionaries();
        Dictionaries read =
            pending.valid() ? std::move(*pending.get()) : Dictionaries::readFrom(sharedDictionaryFolder());
        s_sharedMade = true;
        return new SpellChecker(std::move(read), personal);
    }();
    return *checker;
}

void SpellChecker::preloadShared()
{
    auto& pending = pendingDictionaries();
    if (s_sharedMade || pending.valid())
        return;
    pending = std::async(std::launch::async, [folder = sharedDictionaryFolder()] {
        return std::make_unique<Dictionaries>(Dictionaries::readFrom(folder));
    });
}

}  // namespace velmar
