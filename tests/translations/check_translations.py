#!/usr/bin/env python3
"""The English translation against the sources.

1. lupdate reads src/ afresh; every text it finds must be in translations/velmar_en.ts with a
   finished English translation, and the file may hold no text the sources no longer have.
2. A translation keeps its source's placeholders (%1, %2…, %n), its mnemonic (&), a trailing
   ellipsis or colon, and contains no Cyrillic.
3. Every Cyrillic string literal in src/ is the text of a translation call (tr, translate,
   QT_TRANSLATE_NOOP, QT_TR_NOOP) or is listed in russian_literals.txt beside this script as one
   that stays Russian (texts written into files, user content).
Usage: check_translations.py SOURCE_ROOT [LUPDATE]
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

CYRILLIC = re.compile('[\u0400-\u04FF]')
PLACEHOLDER = re.compile(r'%(?:n|L?\d+)')
# A single & marks a mnemonic; && is a literal ampersand.
MNEMONIC = re.compile(r'(?<!&)&(?!&)(?=\S)')


def read_ts(path):
    messages = {}
    for context in ET.parse(path).getroot().iter('context'):
        name = context.findtext('name')
        for message in context.iter('message'):
            source = message.findtext('source')
            translation = message.find('translation')
            numerus = message.get('numerus') == 'yes'
            if translation is None:
                text, finished = None, False
            else:
                forms = [f.text or '' for f in translation.iter('numerusform')] if numerus else [translation.text or '']
                text = forms
                finished = translation.get('type') not in ('unfinished', 'vanished', 'obsolete') and all(forms)
            messages[(name, source)] = (text, finished)
    return messages


def trailing(text):
    for end in ('...', '…', ':'):
        if text.rstrip().endswith(end):
            return end
    return ''


def placeholder_faults(source, translation):
    faults = []
    if sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(translation)):
        faults.append('placeholders %s vs %s' % (sorted(set(PLACEHOLDER.findall(source))),
                                                 sorted(set(PLACEHOLDER.findall(translation)))))
    if len(MNEMONIC.findall(source)) != len(MNEMONIC.findall(translation)):
        faults.append('mnemonic (&) differs')
    if trailing(source) in ('...', '…') and trailing(translation) not in ('...', '…'):
        faults.append('lost the trailing ellipsis')
    if trailing(source) == ':' and trailing(translation) != ':':
        faults.append('lost the trailing colon')
    if CYRILLIC.search(translation):
        faults.append('Cyrillic in the translation')
    return faults


def strip_comments(code):
    """The code with comments blanked, strings and characters kept, line numbers unchanged."""
    out, i, n = [], 0, len(code)
    while i < n:
        c = code[i]
        if code.startswith('//', i):
            j = code.find('\n', i)
            j = n if j < 0 else j
            i = j
        elif code.startswith('/*', i):
            j = code.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append('\n' * code.count('\n', i, j))
            i = j
        elif c in '"\'':
            j = i + 1
            while j < n and code[j] != c and code[j] != '\n':
                j += 2 if code[j] == '\\' else 1
            out.append(code[i:j + 1])
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


LITERAL = re.compile(r'(?:u8|u|U|L)?"((?:[^"\\\n]|\\.)*)"')
# What may stand before a text to be translated: tr( or a translate/no-op call with its context.
CALL_BEFORE = re.compile(r'(?:\btr|\bQT_TR_NOOP)\(\s*$|(?:\btranslate|\bQT_TRANSLATE_NOOP)\(\s*"[^"]*"\s*,\s*$')


def untranslated_literals(src_root):
    found = []
    for folder, _, files in os.walk(src_root):
        for name in sorted(files):
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.join(folder, name)
            code = strip_comments(open(path, encoding='utf-8').read())
            accepted_end = -1  # where the last literal that is a translation call's text ends
            for m in LITERAL.finditer(code):
                before = code[max(0, m.start() - 200):m.start()]
                # A literal continuing a translated one ("a" "b") is part of the same text.
                continued = accepted_end >= 0 and not code[accepted_end:m.start()].strip()
                if continued or CALL_BEFORE.search(before):
                    accepted_end = m.end()
                    continue
                accepted_end = -1
                if not CYRILLIC.search(m.group(1)):
                    continue
                line = code.count('\n', 0, m.start()) + 1
                found.append((os.path.relpath(path, src_root), line, m.group(1)))
    return found


def read_allow_list(path):
    allowed = {}
    for raw in open(path, encoding='utf-8'):
        line = raw.rstrip('\n')
        if not line or line.startswith('#'):
            continue
        file, _, text = line.partition('\t')
        allowed[(file, text)] = allowed.get((file, text), 0) + 1
    return allowed


def main():
    src = os.path.join(sys.argv[1], 'src')
    ts = os.path.join(sys.argv[1], 'translations', 'velmar_en.ts')
    lupdate = sys.argv[2] if len(sys.argv) > 2 else '/usr/lib/qt6/bin/lupdate'
    faults = []

    committed = read_ts(ts)
    with tempfile.TemporaryDirectory() as tmp:
        fresh_path = os.path.join(tmp, 'fresh.ts')
        subprocess.run([lupdate, '-silent', '-no-obsolete', '-locations', 'none', src, '-ts', fresh_path],
                       check=True)
        fresh = read_ts(fresh_path)
    for key in sorted(fresh):
        if key not in committed:
            faults.append('missing from velmar_en.ts: [%s] %r' % key)
        elif not committed[key][1]:
            faults.append('not translated: [%s] %r' % key)
    for key in sorted(set(committed) - set(fresh)):
        faults.append('no longer in the sources (run scripts/update_translations.sh): [%s] %r' % key)
    for (context, source), (forms, finished) in sorted(committed.items()):
        for form in forms or []:
            if finished:
                faults += ['[%s] %r -> %r: %s' % (context, source, form, f)
                           for f in placeholder_faults(source, form)]

    allowed = read_allow_list(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'russian_literals.txt'))
    for file, line, text in untranslated_literals(src):
        if allowed.get((file, text), 0) > 0:
            allowed[(file, text)] -= 1
        else:
            faults.append('%s:%d: Cyrillic text outside a translation call: "%s"' % (file, line, text))
    for (file, text), left in sorted(allowed.items()):
        if left > 0:
            faults.append('russian_literals.txt names a text %s no longer has: "%s"' % (file, text))

    for fault in faults:
        print(fault)
    print('%d messages in the sources, %d faults' % (len(fresh), len(faults)))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
