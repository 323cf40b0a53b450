// The spelling module: Hunspell's dictionaries, opened and asked here. Built as a module of its
// own and loaded with the first dictionary (platform/spell_checker.cpp), which the program reads
// on a thread of its own once the window is up: the start-up itself maps no Hunspell.
#include <QtGlobal>

#include <string>
#include <vector>

#include <hunspell.hxx>

// The dictionary of the files `aff` and `dic`, and in *encoding the encoding its words are in;
// release it with velmarCloseDictionary.
extern "C" Q_DECL_EXPORT void* velmarOpenDictionary(const char* aff, const char* dic, std::string* encoding)
{
    auto* dictionary = new Hunspell(aff, dic);
    *encoding = dictionary->get_dict_encoding();
    return dictionary;
}

extern "C" Q_DECL_EXPORT void velmarCloseDictionary(void* dictionary) { delete static_cast<Hunspell*>(dictionary); }

// Whether the dictionary knows `word`, given in its encoding.
extern "C" Q_DECL_EXPORT bool velmarSpell(void* dictionary, const std::string* word)
{
    return static_cast<Hunspell*>(dictionary)->spell(*word);
}

// The dictionary's suggestions for `word` into *found, both in its encoding.
extern "C" Q_DECL_EXPORT void velmarSuggest(void* dictionary, const std::string* word, std::vector<std::string>* found)
{
    *found = static_cast<Hunspell*>(dictionary)->suggest(*word);
}
