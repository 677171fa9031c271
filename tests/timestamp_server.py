"""A throwaway RFC 3161 time-stamping authority for the signing test.

Usage: timestamp_server.py WORK_DIR

Signs with WORK_DIR/tsa.pem and WORK_DIR/tsa.key through `openssl ts -reply`, answers over HTTP on
a free port of the loopback interface, which it writes to WORK_DIR/tsa.port once it listens, and
stops after 120 s.
"""
import http.server
import os
import subprocess
import sys
import threading

work = sys.argv[1]
config = os.path.join(work, "tsa.cnf")
with open(os.path.join(work, "tsa.serial"), "w") as file:
    file.write("01\n")
with open(config, "w") as file:
    file.write(f"""[ tsa ]
default_tsa = throwaway
[ throwaway ]
serial = {work}/tsa.serial
signer_cert = {work}/tsa.pem
signer_key = {work}/tsa.key
signer_digest = sha256
default_policy = 1.3.6.1.4.1.4146.2.3
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
""")


class TimeStamps(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = os.path.join(work, "tsa.query")
        reply = os.path.join(work, "tsa.reply")
        with open(query, "wb") as file:
            file.write(self.rfile.read(int(self.headers.get("Content-Length", "0"))))
        made = subprocess.run(["openssl", "ts", "-reply", "-config", config,
                               "-queryfile", query, "-out", reply], capture_output=True)
        if made.returncode != 0:
            self.send_error(500)
            return
        with open(reply, "rb") as file:
            body = file.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *arguments):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamps)
with open(os.path.join(work, "tsa.port.part"), "w") as file:
    file.write(str(server.server_address[1]))
os.rename(os.path.join(work, "tsa.port.part"), os.path.join(work, "tsa.port"))
threading.Timer(120, server.shutdown).start()
server.serve_forever()
