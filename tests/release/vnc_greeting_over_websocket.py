#!/usr/bin/python3
"""Prints the VNC server's protocol greeting ("RFB 003.008") as a browser's
noVNC client receives it: over a WebSocket to websockify, with the "binary"
subprotocol. Fails when none comes within 10 s.
  vnc_greeting_over_websocket.py ws://127.0.0.1:PORT/websockify"""
import sys

from websockify.websocket import WebSocket

ws = WebSocket()
ws.connect(sys.argv[1], protocols=["binary"])
ws.socket.settimeout(10)
greeting = b""
while len(greeting) < 12:
    greeting += ws.recv()
print(greeting.decode("ascii", "replace").strip())
