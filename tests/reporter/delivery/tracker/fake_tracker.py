#!/usr/bin/env python3
"""A local stand-in for the bug tracker: HTTPS on 127.0.0.1 with a certificate made at start.

Usage: fake_tracker.py FOLDER [PORT]

PORT is the port to listen on; without it (or 0) any free port is taken.
FOLDER (a POSIX path, or a Windows path of a Wine prefix) receives:
  port          the port, written once the server listens
  requests.log  one block per request, in arrival order (format below)
and is read for:
  config        "key value" lines, read again for every request (keys below)
  stop          the server ends when this file appears

Log block:
  request
  method GET|POST
  path <hex of the path with its query>
  header <hex name> <hex value>          (one per header, in order)
  bodylength <bytes actually read>
  part <hex name> <hex filename or -> <hex charset or -> <hex transfer encoding or -> <hex data>
  end
Part data is the decoded content, parsed by Python's email package.

Config keys:
  minversion N          api.xml's <minversion> (default 1)
  account EMAIL         the accepted logon e-mail (default reports@example.com)
  password TEXT         the accepted password (default the secret)
  logonerror TEXT       logon answers with an error element carrying TEXT (entities as given)
  failcommand CMD       that command answers with an error element
  casemarker TEXT       the reply to cmd=new (default <case ixBug="42" operations="edit"></case>)
  projects A|B          project names; areas P:A|P:B area names with their projects
  categories A|B, priorities A|B, people A|B
  auth SCHEME[,SCHEME]  answer 401 offering these schemes until Basic credentials match
  authuser USER:PASS    the Basic credentials accepted
  proxyauth 1           answer every request with 407 (Basic offered)
  redirect TARGET       answer api.xml with 302 to TARGET
  close WHAT            close the connection without an answer for "api.xml" or a command
  slow SECONDS          every answer's body goes out one byte every SECONDS
  padapi N              api.xml's answer is padded with blanks to N bytes
"""
import base64
import email.parser
import email.policy
import http.server
import os
import re
import socketserver
import socket
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse

MAX_LIFETIME = 600


def unix_folder(folder):
    match = re.match(r'^([A-Za-z]):[\\/](.*)$', folder)
    if not match:
        return folder
    prefix = os.environ.get('WINEPREFIX') or os.path.expanduser('~/.wine')
    rest = match.group(2).replace('\\', '/')
    return os.path.join(prefix, 'dosdevices', match.group(1).lower() + ':', rest)


FOLDER = unix_folder(sys.argv[1])
PORT = int(sys.argv[2]) if len(sys.argv) > 2 else 0
# A fixed port may still be held for a moment by the tracker of the test before.
BIND_PATIENCE = 20
LOG_LOCK = threading.Lock()


def hexed(data):
    if isinstance(data, str):
        data = data.encode('utf-8', 'surrogateescape')
    return data.hex() if data else '-'


def read_config():
    config = {}
    try:
        with open(os.path.join(FOLDER, 'config'), encoding='utf-8') as f:
            for line in f:
                line = line.rstrip('\r\n')
                if ' ' in line:
                    key, value = line.split(' ', 1)
                    config[key] = value
    except FileNotFoundError:
        pass
    return config


def parse_parts(content_type, body):
    if not content_type.startswith('multipart/'):
        return []
    message = email.parser.BytesParser(policy=email.policy.compat32).parsebytes(
        b'Content-Type: ' + content_type.encode('latin-1') + b'\r\n\r\n' + body)
    parts = []
    if not message.is_multipart():
        return parts
    for part in message.get_payload():
        # Raw header text: names that are not ASCII stay as the bytes that were sent.
        disposition = next((value for key, value in part.raw_items()
                            if key.lower() == 'content-disposition'), '')
        name = re.search(r'name="([^"]*)"', disposition)
        filename = re.search(r'filename="([^"]*)"', disposition)
        parts.append((name.group(1) if name else '',
                      filename.group(1) if filename else '',
                      part.get_content_charset() or '',
                      part.get('Content-Transfer-Encoding', ''),
                      part.get_payload(decode=True) or b''))
    return parts


def listing(items, element, child, extra=None):
    out = ''
    for item in items:
        out += '<%s><%s><![CDATA[%s]]></%s>' % (element, child, item[0], child)
        if extra:
            out += '<%s>%s</%s>' % (extra, item[1], extra)
        out += '</%s>' % element
    return out


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def setup(self):
        super().setup()
        # Headers and body go out in separate writes: with Nagle's algorithm the second one
        # would wait for the client's delayed acknowledgement, 40 ms per request.
        self.connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def log_message(self, *args):
        pass

    def answer(self, status, body, headers=()):
        data = body.encode('utf-8')
        self.send_response(status)
        for key, value in headers:
            self.send_header(key, value)
        self.send_header('Content-Type', 'text/xml; charset=utf-8')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        delay = float(self.config.get('slow', '0'))
        if delay <= 0:
            self.wfile.write(data)
            return
        try:
            for i in range(len(data)):
                self.wfile.write(data[i:i + 1])
                time.sleep(delay)
        except OSError:
            # The client gave up on the trickle.
            self.close_connection = True

    def record(self, body, parts):
        lines = ['request', 'method ' + self.command, 'path ' + hexed(self.path)]
        for key, value in self.headers.items():
            lines.append('header %s %s' % (hexed(key), hexed(value)))
        lines.append('bodylength %d' % len(body))
        for name, filename, charset, encoding, data in parts:
            lines.append('part %s %s %s %s %s' % (hexed(name), hexed(filename), hexed(charset),
                                                  hexed(encoding), hexed(data)))
        lines.append('end')
        with LOG_LOCK:
            with open(os.path.join(FOLDER, 'requests.log'), 'a', encoding='ascii') as f:
                f.write('\n'.join(lines) + '\n')

    def handle_any(self):
        config = self.config = read_config()
        length = int(self.headers.get('Content-Length', '0') or '0')
        body = b''
        while len(body) < length:
            piece = self.rfile.read(length - len(body))
            if not piece:
                break
            body += piece
        parts = parse_parts(self.headers.get('Content-Type', ''), body)
        self.record(body, parts)

        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query, keep_blank_values=True))
        fields = {name: data.decode('utf-8', 'replace') for name, _, _, _, data in parts}
        command = query.get('cmd') or fields.get('cmd', '')
        what = 'api.xml' if url.path.endswith('/api.xml') else command

        if config.get('close') == what:
            self.close_connection = True
            self.connection.shutdown(2)
            return
        if config.get('proxyauth') == '1':
            self.answer(407, '', [('Proxy-Authenticate', 'Basic realm="proxy"')])
            return
        if 'auth' in config:
            expected = 'Basic ' + base64.b64encode(
                config.get('authuser', 'user:pass').encode()).decode()
            if self.headers.get('Authorization', '') != expected:
                offers = []
                for scheme in config['auth'].split(','):
                    offers.append(('WWW-Authenticate', {
                        'Basic': 'Basic realm="tracker"',
                        'Digest': 'Digest realm="tracker", nonce="abc", qop="auth"',
                        'NTLM': 'NTLM',
                        'Negotiate': 'Negotiate',
                    }[scheme]))
                self.answer(401, 'denied', offers)
                return
        if what == 'api.xml':
            if 'redirect' in config:
                self.answer(302, '', [('Location', config['redirect'])])
                return
            body = ('<?xml version="1.0" encoding="UTF-8"?><response><version>8.1</version>'
                    '<minversion>%s</minversion><url>api.asp?</url></response>'
                    % config.get('minversion', '1'))
            self.answer(200, body.ljust(int(config.get('padapi', '0'))))
            return
        if command and config.get('failcommand') == command:
            self.answer(200, '<response><error code="3">%s failed</error></response>' % command)
            return
        if command == 'logon':
            if 'logonerror' in config:
                self.answer(200, '<response><error code="1">%s</error></response>'
                            % config['logonerror'])
            elif (query.get('email') == config.get('account', 'reports@example.com') and
                  query.get('password') == config.get('password', 'p@ss word.')):
                self.answer(200, '<response><token>tok-1</token></response>')
            else:
                self.answer(200, '<response><error code="1">Incorrect password or username'
                            '</error></response>')
            return
        if query.get('token', fields.get('token')) != 'tok-1':
            self.answer(200, '<response><error code="3">Not logged on</error></response>')
            return

        def names(key, default):
            return [n for n in config.get(key, default).split('|') if n]
        if command == 'logoff':
            self.answer(200, '<response></response>')
        elif command == 'listProjects':
            projects = [(n, '') for n in names('projects', 'Inbox|QuillTally')]
            self.answer(200, '<response><projects>%s</projects></response>'
                        % listing(projects, 'project', 'sProject'))
        elif command == 'listAreas':
            areas = [tuple(reversed(n.split(':', 1)))
                     for n in names('areas', 'Inbox:Misc|QuillTally:QuillTally|QuillTally:not spam')]
            self.answer(200, '<response><areas>%s</areas></response>'
                        % listing(areas, 'area', 'sArea', 'sProject'))
        elif command == 'listCategories':
            categories = [(n, '') for n in names('categories', 'Feature|Bug|Inquiry')]
            self.answer(200, '<response><categories>%s</categories></response>'
                        % listing(categories, 'category', 'sCategory'))
        elif command == 'listPriorities':
            priorities = [(n, '') for n in names('priorities', 'Must Fix|Fix If Time')]
            self.answer(200, '<response><priorities>%s</priorities></response>'
                        % listing(priorities, 'priority', 'sPriority'))
        elif command == 'listPeople':
            people = [(n, '') for n in names('people', 'Ada Admin|Bert Builder')]
            self.answer(200, '<response><people>%s</people></response>'
                        % listing(people, 'person', 'sFullName'))
        elif command == 'new' and self.command == 'POST':
            self.answer(200, '<response>%s</response>' % config.get(
                'casemarker', '<case ixBug="42" operations="edit"></case>'))
        else:
            self.answer(200, '<response><error code="2">Unknown command</error></response>')

    do_GET = handle_any
    do_POST = handle_any


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    os.makedirs(FOLDER, exist_ok=True)
    cert = os.path.join(FOLDER, 'cert.pem')
    key = os.path.join(FOLDER, 'key.pem')
    subprocess.run(['openssl', 'req', '-x509', '-newkey', 'ec', '-pkeyopt',
                    'ec_paramgen_curve:prime256v1', '-nodes', '-keyout', key, '-out', cert,
                    '-days', '2', '-subj', '/CN=127.0.0.1', '-addext',
                    'subjectAltName=IP:127.0.0.1'],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    started = time.monotonic()
    while True:
        try:
            server = Server(('127.0.0.1', PORT), Handler)
            break
        except OSError:
            if PORT == 0 or time.monotonic() - started > BIND_PATIENCE:
                raise
            time.sleep(0.2)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(os.path.join(FOLDER, 'port.tmp'), 'w') as f:
        f.write(str(server.server_address[1]))
    os.replace(os.path.join(FOLDER, 'port.tmp'), os.path.join(FOLDER, 'port'))
    started = time.monotonic()
    # The test's folder going away ends the server too.
    while os.path.isdir(FOLDER) and not os.path.exists(os.path.join(FOLDER, 'stop')):
        if time.monotonic() - started > MAX_LIFETIME:
            break
        time.sleep(0.1)
    os._exit(0)


if __name__ == '__main__':
    main()
