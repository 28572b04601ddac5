#!/usr/bin/python3
"""A private SMTP server for the mail tests, on a loopback port the system picks.

It prints "READY <port>" once it listens, then serves until its input closes. Each message
it takes is written to the folder given: N.eml as received, N.headers with the decoded
From, To, Subject and Reply-To, N.body with the text part, and N.parts/<file name> with each
attachment's decoded bytes (Python's own mail parser reads them).

--tls DIR    makes a certificate for 127.0.0.1 (DIR/cert.pem, DIR/key.pem) and offers STARTTLS
--silent     accepts connections and never answers
--drip MS    answers every byte MS milliseconds after the one before (a slow line)
--refuse S   answers 550 to any recipient containing S
--login U:P  takes mail only after a login as U with the password P
"""
import argparse
import asyncio
import datetime
import email
import email.header
import email.policy
import os
import socket
import ssl
import sys
import threading


def make_certificate(folder):
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import rsa
    from cryptography.x509.oid import NameOID
    import ipaddress

    key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
    name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "127.0.0.1")])
    now = datetime.datetime.utcnow()
    cert = (x509.CertificateBuilder().subject_name(name).issuer_name(name).public_key(key.public_key())
            .serial_number(x509.random_serial_number()).not_valid_before(now - datetime.timedelta(days=1))
            .not_valid_after(now + datetime.timedelta(days=2))
            .add_extension(x509.SubjectAlternativeName([x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]), False)
            .add_extension(x509.BasicConstraints(ca=True, path_length=None), True)
            .sign(key, hashes.SHA256()))
    cert_path, key_path = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    with open(cert_path, "wb") as f:
        f.write(cert.public_bytes(serialization.Encoding.PEM))
    with open(key_path, "wb") as f:
        f.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.TraditionalOpenSSL,
                                  serialization.NoEncryption()))
    return cert_path, key_path


def decoded(value):
    if value is None:
        return ""
    return str(email.header.make_header(email.header.decode_header(value)))


class Handler:
    def __init__(self, folder, refuse):
        self.folder, self.refuse, self.count = folder, refuse, 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.refuse and self.refuse in address:
            return "550 5.1.1 No such user"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        message = email.message_from_bytes(envelope.original_content or envelope.content, policy=email.policy.compat32)
        with open(base + ".headers", "w", encoding="utf-8") as f:
            for name in ("From", "To", "Subject", "Reply-To", "Message-ID"):
                f.write("%s: %s\n" % (name, decoded(message.get(name))))
            f.write("TLS: %s\n" % ("yes" if session.ssl else "no"))
            f.write("Headers: %s\n" % ",".join(message.keys()))
        os.makedirs(base + ".parts", exist_ok=True)
        for part in message.walk():
            if part.is_multipart():
                continue
            name = part.get_filename()
            payload = part.get_payload(decode=True) or b""
            if name:
                with open(os.path.join(base + ".parts", decoded(name)), "wb") as f:
                    f.write(payload)
            elif part.get_content_type() == "text/plain":
                with open(base + ".body", "wb") as f:
                    f.write(payload)
        return "250 Message accepted"


def dripping_front(inner_port, delay):
    """A server in front of the one on inner_port that passes what clients say on at once and
    hands its answers back one byte at a time."""
    async def pump(reader, writer, pause):
        try:
            while data := await reader.read(4096):
                if not pause:
                    writer.write(data)
                for i in range(len(data) if pause else 0):
                    await asyncio.sleep(pause)
                    writer.write(data[i:i + 1])
                    await writer.drain()
                await writer.drain()
        except ConnectionError:
            pass
        finally:
            writer.close()

    async def serve(client_reader, client_writer):
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", inner_port)
        await asyncio.gather(pump(client_reader, server_writer, 0), pump(server_reader, client_writer, delay))

    return asyncio.start_server(serve, "127.0.0.1", 0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--tls")
    parser.add_argument("--silent", action="store_true")
    parser.add_argument("--drip", type=int)
    parser.add_argument("--refuse")
    parser.add_argument("--login")
    args = parser.parse_args()

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    if args.silent:
        async def quiet(reader, writer):
            await reader.read()  # never a word back
        server = loop.run_until_complete(asyncio.start_server(quiet, "127.0.0.1", 0))
    else:
        from aiosmtpd.smtp import SMTP
        context = None
        if args.tls:
            cert, key = make_certificate(args.tls)
            context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
            context.load_cert_chain(cert, key)
        handler = Handler(args.folder, args.refuse)
        login = {}
        if args.login:
            from aiosmtpd.smtp import AuthResult
            user, password = args.login.split(":", 1)

            def authenticator(server, session, envelope, mechanism, auth_data):
                ok = getattr(auth_data, "login", b"") == user.encode() and \
                    getattr(auth_data, "password", b"") == password.encode()
                return AuthResult(success=ok)

            login = dict(auth_required=True, auth_require_tls=False, authenticator=authenticator)
        server = loop.run_until_complete(loop.create_server(
            lambda: SMTP(handler, hostname="quillo-test", tls_context=context, require_starttls=False, **login),
            host="127.0.0.1", port=0))
    if args.drip:
        server = loop.run_until_complete(dripping_front(server.sockets[0].getsockname()[1], args.drip / 1000.0))
    port = server.sockets[0].getsockname()[1]

    def watch_input():
        sys.stdin.read()
        loop.call_soon_threadsafe(loop.stop)

    threading.Thread(target=watch_input, daemon=True).start()
    print("READY %d" % port, flush=True)
    loop.run_forever()


if __name__ == "__main__":
    main()
