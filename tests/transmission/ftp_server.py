#!/usr/bin/python3
"""FTP server for the upload tests: a plain pyftpdlib server on 127.0.0.1 that can misbehave.

Usage: ftp_server.py ROOT LOG USER PASSWORD MODE [PORT]

Serves ROOT to the one account USER/PASSWORD, listens on PORT of 127.0.0.1 (a free one unless
given) and prints "PORT <n>" on its first output line. Every connection, command and disconnection is appended to
LOG, one line each ("CONNECT", the command as received, "DISCONNECT"), after the client's port
and a blank, since a disconnection may be noted after the next connection. It stops when its
standard input closes, so it never outlives the test that started it.

MODE is "normal" or one of the misbehaviours below.
"""

import logging
import os
import socket
import struct
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from OpenSSL._util import lib
from pyftpdlib.handlers import DTPHandler, FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer

MODES = {
    "normal": "behaves",
    "user-230": "logs the user in on USER, without asking for a password",
    "feat-502": "rejects FEAT",
    "syst-500": "rejects SYST",
    "feat-pret": "lists PRET and SITE ZONE among its features and answers both",
    "final-426-226": "answers 426 and then 226 after the transfer",
    "final-451": "answers 451 after the transfer",
    "final-silent": "sends no reply after the transfer",
    "final-426-451": "answers 426 and then 451 after the transfer",
    "final-extra": "follows its reply to the transfer with an unasked-for line",
    "data-chatter": "keeps writing to the data connection and never closes it",
    "data-open-226": "confirms the upload with 226 but keeps its side of the data connection open",
    "stall": "never reads from the data connection",
    "short-read": "closes the data connection after 64 KiB and still answers 226",
    "half-226": "keeps the first 200 bytes, closes the data connection and answers 226",
    "half-426-226": "keeps the first 200 bytes, closes the data connection, answers 426, then 226",
    "pasv-bare": "answers PASV without parentheses and with a trailing full stop",
    "pasv-private": "names a private address in its PASV reply",
    "read-only": "gives the account no write permission, so STOR is refused",
    "login-530": "refuses every password with 530",
    "disk-full": "refuses STOR with 552, as a server whose disk is full",
    "refuse-br": "refuses STOR of every file whose name contains _BR",
    "greeting-multiline": "greets with several lines, some starting with digits",
    "greeting-silent": "accepts connections but never greets",
    "greeting-flood": "greets with 20,000 continuation lines before the last one",
    "greeting-trickle": "greets with a continuation line every 50 ms, without end",
    "tls-reuse": "demands TLS (certificate.pem beside LOG) and the data connection resuming it",
    "tls-once": "agrees to TLS on its first connection only, then takes plain logins",
    "tls-data-stall": "demands TLS and never completes the handshake of a data connection",
    "user-421-tls": "answers USER with 421, asking to reconnect using TLS, and closes",
    "upload-only": "gives the account only the permission to store, so SIZE is refused with 550",
    "auth-431": "answers AUTH TLS with 431",
    "reset-226": "lists no SIZE, keeps 200 bytes, resets the data connection and answers 226",
    "final-426": "answers 426 alone after the transfer",
    "pasv-silent": "never answers PASV",
}

MULTILINE_GREETING = (
    "220-Welcome to the test server.\r\n"
    "2007 was the first year of uploads.\r\n"
    "230 users may be logged in at once.\r\n"
    "220-Still greeting.\r\n"
    "220 Ready.\r\n"
)


class MisbehavingDTP(DTPHandler):
    def enable_receiving(self, type, cmd):
        super().enable_receiving(type, cmd)
        if self.cmd_channel.mode in ("stall", "tls-data-stall"):
            self.modify_ioloop_events(0)
        elif self.cmd_channel.mode == "data-chatter":
            self.chatter = self.ioloop.call_every(0.05, self.send_chatter)

    def send_chatter(self):
        try:
            self.socket.send(b"x" * 1024)
        except OSError:
            self.chatter.cancel()

    def handle_close_as_configured(self):
        if self.cmd_channel.mode == "data-chatter":
            self.modify_ioloop_events(0)
        elif self.cmd_channel.mode == "data-open-226":
            self.confirm_keeping_connection()
        else:
            super().handle_close()

    def confirm_keeping_connection(self):
        self.modify_ioloop_events(0)
        if not getattr(self, "confirmed", False):
            self.confirmed = True
            self.file_obj.flush()
            self.cmd_channel.respond("226 Transfer complete.")

    def handle_close(self):
        if self.cmd_channel.mode == "reset-226":
            self.file_obj.truncate(200)
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self._resp = ("226 Transfer complete.", lambda *args: None)
            self.close()
        else:
            self.handle_close_as_configured()

    def handle_read(self):
        super().handle_read()
        if self.cmd_channel.mode == "short-read" and self.tot_bytes_received >= 65536:
            self._resp = ("226 Transfer complete.", lambda *args: None)
            self.close()
        elif self.cmd_channel.mode in ("half-226", "half-426-226") and self.tot_bytes_received >= 200:
            self.file_obj.truncate(200)
            self._resp = ("226 Transfer complete.", lambda *args: None)
            self.close()

    handle_read_event = handle_read


class MisbehavingHandler(FTPHandler):
    dtp_handler = MisbehavingDTP
    mode = "normal"
    log_file = None
    auth_failed_timeout = 0.1
    agreed = False

    def agrees_first_time(self):
        first = not MisbehavingHandler.agreed
        MisbehavingHandler.agreed = True
        return first

    def record(self, line):
        self.log_file.write("%d %s\n" % (self.remote_port, line))
        self.log_file.flush()

    def on_connect(self):
        self.record("CONNECT")

    def on_disconnect(self):
        if getattr(self, "trickle", None):
            self.trickle.cancel()
        self.record("DISCONNECT")

    def handle(self):
        if self.mode == "greeting-silent":
            self.on_connect()
        elif self.mode == "greeting-multiline":
            self.on_connect()
            self.push(MULTILINE_GREETING)
        elif self.mode == "greeting-flood":
            self.on_connect()
            lines = "".join("220-Line %d of the greeting.\r\n" % n for n in range(20000))
            self.push(lines + "220 Ready.\r\n")
        elif self.mode == "greeting-trickle":
            self.on_connect()
            self.push("220-Welcome.\r\n")
            self.trickle = self.ioloop.call_every(0.05, lambda: self.push(" still greeting\r\n"))
        else:
            super().handle()

    def pre_process_command(self, line, cmd, arg):
        self.record(line)
        if self.mode == "user-230" and cmd == "USER":
            self.username = arg
            self.handle_auth_success(self.authorizer.get_home_dir(arg), "", "Logged in.")
        elif self.mode == "feat-502" and cmd == "FEAT":
            self.respond("502 Command not implemented.")
        elif self.mode == "syst-500" and cmd == "SYST":
            self.respond("500 Command not understood.")
        elif self.mode == "feat-pret" and cmd == "FEAT":
            self.push("211-Features:\r\n PRET\r\n SITE ZONE\r\n SIZE\r\n")
            self.respond("211 End")
        elif self.mode == "feat-pret" and cmd in ("PRET", "SITE"):
            self.respond("200 OK")
        elif self.mode == "refuse-br" and cmd == "STOR" and "_BR" in arg:
            self.respond("553 File name not allowed.")
        elif self.mode == "reset-226" and cmd == "FEAT":
            self.push("211-Features:\r\n MDTM\r\n")
            self.respond("211 End")
        elif self.mode == "auth-431" and cmd == "AUTH":
            self.respond("431 Unable to accept security mechanism.")
        elif self.mode == "pasv-silent" and cmd == "PASV":
            pass
        elif self.mode == "tls-once" and cmd == "AUTH" and not self.agrees_first_time():
            self.respond("500 Command not understood.")
        elif self.mode == "user-421-tls" and cmd == "USER":
            self.respond("421 Sorry, cleartext sessions are not accepted on this server. "
                         "Please reconnect using TLS security mechanisms.")
            self.close_when_done()
        elif self.mode == "login-530" and cmd == "PASS":
            self.respond("530 Login incorrect.")
        elif self.mode == "disk-full" and cmd == "STOR":
            self.respond("552 Disk full.")
        else:
            super().pre_process_command(line, cmd, arg)

    def respond(self, resp, logfun=None):
        if resp.startswith("227 "):
            resp = self.passive_reply(resp)
        elif resp.startswith("226 ") and self.mode in ("final-426-226", "half-426-226"):
            super().respond("426 Connection closed; transfer aborted.")
        elif resp.startswith("226 ") and self.mode == "final-426-451":
            super().respond("426 Connection closed; transfer aborted.")
            resp = "451 Requested action aborted: local error in processing."
        elif resp.startswith("226 ") and self.mode == "final-426":
            resp = "426 Failure reading network stream."
        elif resp.startswith("226 ") and self.mode == "final-451":
            resp = "451 Requested action aborted: local error in processing."
        elif resp.startswith("226 ") and self.mode == "final-extra":
            super().respond(resp)
            resp = "200 Unasked for."
        elif resp.startswith("226 ") and self.mode == "final-silent":
            return
        super().respond(resp)

    def passive_reply(self, resp):
        numbers = resp[resp.index("(") + 1 : resp.index(")")].split(",")
        if self.mode == "pasv-bare":
            return "227 Entering Passive Mode " + ",".join(numbers) + "."
        if self.mode == "pasv-private":
            return "227 Entering Passive Mode (10,0,0,5,%s,%s)" % (numbers[4], numbers[5])
        return resp


def tls_handler(log_path, mode):
    pem = os.path.join(os.path.dirname(log_path), "certificate.pem")
    os.system("openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -addext subjectAltName="
              "IP:127.0.0.1 -keyout %s.key -out %s 2>/dev/null && cat %s.key >>%s" % ((pem,) * 4))

    class TLSDTP(MisbehavingDTP, TLS_DTPHandler):
        handle_read_event = TLS_DTPHandler.handle_read_event

        def readable(self):  # a client may secure the connection before its command
            return self._ssl_accepting or super().readable()

        def handle_ssl_established(self):
            if not lib.SSL_session_reused(self.socket._ssl):
                self.cmd_channel.respond("522 SSL connection failed: session reuse required")
                self.close()

    class TLSHandler(MisbehavingHandler, TLS_FTPHandler):
        dtp_handler = TLSDTP
        certfile = pem
        tls_control_required = tls_data_required = mode != "tls-once"

    return TLSHandler


def main():
    root, log_path, user, password, mode = sys.argv[1:6]
    port = int(sys.argv[6]) if len(sys.argv) > 6 else 0
    if mode not in MODES:
        sys.exit("unknown mode " + mode)

    authorizer = DummyAuthorizer()
    permissions = {"read-only": "elr", "upload-only": "ew"}
    authorizer.add_user(user, password, root, perm=permissions.get(mode, "elradfmw"))
    MisbehavingHandler.authorizer = authorizer
    MisbehavingHandler.mode = mode
    MisbehavingHandler.log_file = open(log_path, "a", encoding="utf-8")

    handler = tls_handler(log_path, mode) if mode.startswith("tls-") else MisbehavingHandler
    server = FTPServer(("127.0.0.1", port), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)

    def stop_when_stdin_closes():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=stop_when_stdin_closes, daemon=True).start()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    logging.basicConfig(level=logging.WARNING)
    main()
