"""A pointer for a wlroots compositor without input devices (sway's headless backend): a Wayland
client of the compositor's virtual-pointer protocol (zwlr_virtual_pointer_v1), spoken directly on
the compositor's socket, so the compositor routes its movements and presses to the windows beneath
as it does a mouse's."""
import os
import socket
import struct
import time

BUTTON_LEFT = 0x110


class VirtualPointer:
    def __init__(self, width, height):
        path = os.environ["WAYLAND_DISPLAY"]
        if not os.path.isabs(path):
            path = os.path.join(os.environ["XDG_RUNTIME_DIR"], path)
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(path)
        self.extent, self.next_id, self.buffer = (width, height), 2, b""
        registry = self._new_id()
        self._send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
        globals_ = {}
        for sender, opcode, body in self._roundtrip():
            if sender == registry and opcode == 0:  # wl_registry.global
                name, length = struct.unpack_from("<II", body)
                globals_[body[8:8 + length - 1].decode()] = name
        interface = "zwlr_virtual_pointer_manager_v1"
        if interface not in globals_:
            raise RuntimeError("the compositor offers no virtual pointers")
        manager = self._new_id()
        self._send(registry, 0, struct.pack("<I", globals_[interface]) + self._string(interface)
                   + struct.pack("<II", 1, manager))  # wl_registry.bind
        self.pointer = self._new_id()
        self._send(manager, 0, struct.pack("<II", 0, self.pointer))  # create_virtual_pointer(no seat)
        self._roundtrip()

    def move_to(self, x, y):
        self._send(self.pointer, 1, struct.pack("<IIIII", self._time(), x, y, *self.extent))  # motion_absolute
        self._frame()

    def click(self, button=BUTTON_LEFT):
        for state in (1, 0):
            self._send(self.pointer, 2, struct.pack("<III", self._time(), button, state))  # button
            self._frame()

    def _frame(self):
        self._send(self.pointer, 4, b"")
        self._roundtrip()

    def _new_id(self):
        self.next_id += 1
        return self.next_id - 1

    @staticmethod
    def _time():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    @staticmethod
    def _string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    def _send(self, sender, opcode, body):
        self.socket.sendall(struct.pack("<II", sender, (8 + len(body)) << 16 | opcode) + body)

    def _roundtrip(self):
        """Sends wl_display.sync and returns the events read until its callback is done."""
        callback = self._new_id()
        self._send(1, 0, struct.pack("<I", callback))
        events = []
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < struct.unpack_from("<I", self.buffer, 4)[0] >> 16:
                chunk = self.socket.recv(4096)
                if not chunk:
                    raise RuntimeError("the compositor closed the connection")
                self.buffer += chunk
            sender, word = struct.unpack_from("<II", self.buffer)
            size = word >> 16
            body, self.buffer = self.buffer[8:size], self.buffer[size:]
            if sender == 1 and word & 0xFFFF == 0:  # wl_display.error
                raise RuntimeError("Wayland error: " + body[12:].split(b"\0")[0].decode())
            if sender == callback:
                return events
            events.append((sender, word & 0xFFFF, body))
