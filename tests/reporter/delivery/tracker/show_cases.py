#!/usr/bin/env python3
"""Prints the cases the test tracker (fake_tracker.py) filed, as the tracker received them.

Usage: show_cases.py FOLDER [SAVE_FOLDER]

Reads FOLDER/requests.log and prints every "cmd=new" request: each text field with its value
(long ones cut), and each attached file with its name, size and first lines. With SAVE_FOLDER
the attached files of the last case are written there under the names they were sent as.
"""
import os
import sys

TEXT_LIMIT = 300
FILE_LINES = 8


def unhex(text):
    return b'' if text == '-' else bytes.fromhex(text)


def requests(log):
    block = None
    for line in log.splitlines():
        if line == 'request':
            block = {'parts': []}
        elif line == 'end' and block is not None:
            yield block
            block = None
        elif block is not None:
            word, _, rest = line.partition(' ')
            if word == 'part':
                name, filename, charset, _encoding, data = rest.split(' ')
                block['parts'].append((unhex(name).decode('utf-8', 'replace'),
                                       unhex(filename).decode('utf-8', 'replace'),
                                       unhex(charset).decode('ascii', 'replace'), unhex(data)))
            elif word in ('method', 'path'):
                block[word] = rest


def decoded(data, charset):
    try:
        return data.decode(charset or 'utf-8')
    except (LookupError, UnicodeDecodeError):
        return data.decode('utf-8', 'replace')


def save_files(case, folder):
    for _name, filename, _charset, data in case['parts']:
        if filename:
            with open(os.path.join(folder, os.path.basename(filename)), 'wb') as f:
                f.write(data)


def show(case, number):
    print('Case %d, received as %s %s' % (number, case.get('method', '?'),
                                          unhex(case.get('path', '-')).decode('utf-8', 'replace')))
    for name, filename, charset, data in case['parts']:
        if filename:
            lines = data.decode('utf-8', 'replace').splitlines()
            print('  %s: file "%s", %d bytes, %d lines; it begins:' % (name, filename, len(data),
                                                                      len(lines)))
            for line in lines[:FILE_LINES]:
                print('      ' + line)
        else:
            text = decoded(data, charset).replace('\r\n', '\n').replace('\n', ' | ')
            if len(text) > TEXT_LIMIT:
                text = text[:TEXT_LIMIT] + ' ...'
            print('  %s = %s' % (name, text))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__.strip())
    path = os.path.join(sys.argv[1], 'requests.log')
    try:
        with open(path, encoding='ascii') as f:
            log = f.read()
    except OSError as error:
        sys.exit('no requests received: %s' % error)
    cases = [r for r in requests(log)
             if any(name == 'cmd' and data == b'new' for name, _, _, data in r['parts'])]
    if not cases:
        print('The tracker received %d requests but no new case.' % log.count('\nrequest\n'))
    for number, case in enumerate(cases, 1):
        show(case, number)
    if cases and len(sys.argv) == 3:
        save_files(cases[-1], sys.argv[2])


if __name__ == '__main__':
    main()
