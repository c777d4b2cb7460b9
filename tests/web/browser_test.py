#!/usr/bin/env python3
"""The web page of the game in headless Chromium, driven over the DevTools
protocol (--remote-debugging-pipe; no packages beyond Python's own).

Serves the page on 127.0.0.1, enters a player's name, reaches the main menu,
starts a game, walks right and checks that the score rose (from the program
and from the pixels of the side panel) and that the mixer fed Web Audio, saves
an F12 screenshot and decodes it, reads a gamepad, measures the game's own
work per frame over 600 frames of play, then reloads the page and finds the
player again, and opens a second tab, which must not start a second game.
Each screen is saved as a PNG beside the site (shots/).

Usage: browser_test.py SITE_DIR [--shots DIR]
"""
import argparse
import base64
import functools
import http.server
import json
import os
import shutil
import socketserver
import subprocess
import sys
import tempfile
import struct
import threading
import time
import zlib

HOME = '/home/web_user'
PROFILES = HOME + '/Documents/Vantorix/Gravik 2/Linux Edition/Profiles'
SCREENSHOTS = HOME + '/Documents/Vantorix/Gravik 2/Linux Edition/Screenshots'
# Screen states (the program's numbers).
MAIN_MENU, PLAYING, STATUS, NAME_ENTRY, HELP = 0, 2, 6, 7, 21


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)
    print('ok  ' + what)


class Browser:
    """Chromium with its DevTools protocol on fds 3 (to it) and 4 (from it)."""

    def __init__(self, profile_dir):
        to_chrome_r, self.to_chrome = os.pipe()
        self.from_chrome, from_chrome_w = os.pipe()
        exe = shutil.which('chromium') or shutil.which('chromium-browser')
        if not exe:
            raise Failure('chromium is not installed')
        args = [exe, '--headless=new', '--remote-debugging-pipe', '--no-sandbox',
                '--user-data-dir=' + profile_dir, '--no-first-run', '--disable-gpu',
                '--autoplay-policy=no-user-gesture-required', '--window-size=1400,1200',
                '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
                '--disable-backgrounding-occluded-windows', 'about:blank']

        def child_fds():
            os.dup2(to_chrome_r, 3)
            os.dup2(from_chrome_w, 4)

        self.proc = subprocess.Popen(args, pass_fds=(3, 4), preexec_fn=child_fds,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_chrome_r)
        os.close(from_chrome_w)
        self.buffer = b''
        self.next_id = 0
        self.session = None
        self.console = []

    def close(self):
        try:
            self.send('Browser.close', session=False, wait=False)
        except OSError:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        os.close(self.to_chrome)
        os.close(self.from_chrome)

    def _read_message(self):
        while b'\0' not in self.buffer:
            chunk = os.read(self.from_chrome, 1 << 16)
            if not chunk:
                raise Failure('chromium closed its DevTools pipe')
            self.buffer += chunk
        raw, self.buffer = self.buffer.split(b'\0', 1)
        return json.loads(raw)

    def send(self, method, params=None, session=True, wait=True):
        self.next_id += 1
        msg = {'id': self.next_id, 'method': method, 'params': params or {}}
        if session and self.session:
            msg['sessionId'] = self.session
        os.write(self.to_chrome, json.dumps(msg).encode() + b'\0')
        if not wait:
            return None
        while True:
            reply = self._read_message()
            if reply.get('method') == 'Runtime.consoleAPICalled':
                text = ' '.join(str(a.get('value', a.get('description', ''))) for a in reply['params']['args'])
                self.console.append(text)
            if reply.get('id') == self.next_id:
                if 'error' in reply:
                    raise Failure('%s: %s' % (method, reply['error']))
                return reply.get('result', {})

    def attach(self):
        targets = self.send('Target.getTargets', session=False)['targetInfos']
        page = next(t for t in targets if t['type'] == 'page')
        self.session = self.send('Target.attachToTarget', {'targetId': page['targetId'], 'flatten': True},
                                 session=False)['sessionId']
        self.send('Page.enable')
        self.send('Runtime.enable')

    def eval(self, expression):
        r = self.send('Runtime.evaluate', {'expression': expression, 'returnByValue': True,
                                           'awaitPromise': True})
        if 'exceptionDetails' in r:
            raise Failure('page script failed: %s: %s' % (expression, r['exceptionDetails'].get('text')))
        return r['result'].get('value')

    def wait_for(self, expression, what, timeout=30.0):
        end = time.time() + timeout
        while time.time() < end:
            value = self.eval(expression)
            if value:
                return value
            time.sleep(0.05)
        raise Failure('timed out waiting for ' + what)

    def key(self, code, key, vk, text=None, kind='both'):
        base = {'code': code, 'key': key, 'windowsVirtualKeyCode': vk}
        if kind in ('both', 'down'):
            down = dict(base, type='keyDown')
            if text:
                down['text'] = text
            self.send('Input.dispatchKeyEvent', down)
        if kind in ('both', 'up'):
            self.send('Input.dispatchKeyEvent', dict(base, type='keyUp'))

    def click(self, x, y):
        """Clicks the canvas at (x, y) of the game's 640 x 480 screen."""
        r = self.eval("(function(){var r=document.getElementById('screen').getBoundingClientRect();"
                      "return [r.left, r.top, r.width, r.height];})()")
        px, py = r[0] + (x + 0.5) * r[2] / 640, r[1] + (y + 0.5) * r[3] / 480
        for kind in ('mouseMoved', 'mousePressed', 'mouseReleased'):
            self.send('Input.dispatchMouseEvent', {'type': kind, 'x': px, 'y': py, 'button': 'left',
                                                   'clickCount': 1})

    def frames(self):
        return self.eval('Module.gravikPage.frames')

    def wait_frames(self, n):
        start = self.frames()
        self.wait_for('Module.gravikPage.frames >= %d' % (start + n), '%d frames' % n, timeout=30 + n / 10)

    def state(self):
        return self.eval("typeof Module === 'object' && Module._gravik_web_state ? Module._gravik_web_state() : -2")

    def shot(self, path):
        url = self.eval("document.getElementById('screen').toDataURL('image/png')")
        with open(path, 'wb') as f:
            f.write(base64.b64decode(url.split(',', 1)[1]))
        print('     picture ' + path)

    def pixels(self, x0, y0, x1, y1):
        """Mean RGB and the count of distinct colours in a canvas rectangle."""
        return self.eval(
            "(function(){var d=document.getElementById('screen').getContext('2d')"
            ".getImageData(%d,%d,%d,%d).data, s=[0,0,0], c=new Set();"
            "for (var i=0;i<d.length;i+=4){s[0]+=d[i];s[1]+=d[i+1];s[2]+=d[i+2];"
            "c.add(d[i]<<16|d[i+1]<<8|d[i+2]);}"
            "var n=d.length/4; return {mean:[s[0]/n,s[1]/n,s[2]/n], colours:c.size};})()"
            % (x0, y0, x1 - x0, y1 - y0))

    def region_hash(self, x0, y0, x1, y1):
        return self.eval(
            "(function(){var d=document.getElementById('screen').getContext('2d')"
            ".getImageData(%d,%d,%d,%d).data, h=0;"
            "for (var i=0;i<d.length;i++){h=(h*31+d[i])|0;} return h;})()" % (x0, y0, x1 - x0, y1 - y0))


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{'.wasm': 'application/wasm', '.js': 'text/javascript'})

    def log_message(self, *args):
        pass


def png_pixels(data):
    """Width, height and RGB rows of an 8-bit RGB PNG without filters (the game's own)."""
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise Failure('not a PNG file')
    pos, idat, size = 8, b'', None
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if zlib.crc32(kind + body) != struct.unpack('>I', data[pos + 8 + n:pos + 12 + n])[0]:
            raise Failure('bad CRC in the %s chunk' % kind)
        if kind == b'IHDR':
            size = struct.unpack('>II', body[:8])
        elif kind == b'IDAT':
            idat += body
        pos += 12 + n
    raw = zlib.decompress(idat)
    w, h = size
    rows = [raw[y * (1 + 3 * w) + 1:(y + 1) * (1 + 3 * w)] for y in range(h)]
    return w, h, rows


def serve(site):
    handler = functools.partial(QuietHandler, directory=site)
    server = socketserver.ThreadingTCPServer(('127.0.0.1', 0), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def run(site, shots):
    os.makedirs(shots, exist_ok=True)
    sizes = {name: os.path.getsize(os.path.join(site, name)) for name in
             ('gravik.wasm', 'gravik.js', 'gravik.data')}
    server = serve(site)
    # Without music, so that what the mixer sends during play is the effects'.
    url = 'http://127.0.0.1:%d/index.html?-nomusic' % server.server_address[1]
    profile = tempfile.mkdtemp(prefix='gravik-chromium-')
    browser = Browser(profile)
    figures = {}
    try:
        browser.attach()
        browser.send('Page.navigate', {'url': url})

        # The name entry of a first start.
        browser.wait_for("typeof Module === 'object' && Module.gravikPage && "
                         "Module.gravikPage.firstNameEntryMs >= 0", 'the name entry', timeout=60)
        figures['first frame (ms after navigation)'] = round(browser.eval('Module.gravikPage.firstFrameMs'))
        figures['first frame of the name entry (ms after navigation)'] = round(
            browser.eval('Module.gravikPage.firstNameEntryMs'))
        check(browser.eval('Module.gravikPage.storeLoaded'), 'the stored folders were read before start-up')
        browser.wait_frames(30)
        check(browser.state() == NAME_ENTRY, 'a first start asks for a name')
        browser.shot(os.path.join(shots, '1-name-entry.png'))

        for ch in 'Webster':
            browser.key('Key' + ch.upper(), ch, ord(ch.upper()), text=ch)
            browser.wait_frames(2)
        browser.wait_frames(10)
        browser.shot(os.path.join(shots, '2-name-typed.png'))
        browser.key('Enter', 'Enter', 13, text='\r')
        # A new player is shown the help pages first; Escape leaves them.
        browser.wait_for('Module._gravik_web_state() === %d' % HELP, 'the help pages', timeout=60)
        browser.wait_frames(30)
        browser.shot(os.path.join(shots, '3-help.png'))
        browser.key('Escape', 'Escape', 27)
        browser.wait_for('Module._gravik_web_state() === %d' % MAIN_MENU, 'the main menu')
        browser.wait_frames(60)
        check(browser.state() == MAIN_MENU, 'Enter takes the name to the main menu')
        browser.shot(os.path.join(shots, '4-main-menu.png'))
        menu = browser.pixels(0, 0, 640, 480)
        check(menu['colours'] > 16, 'the main menu is drawn (%d colours)' % menu['colours'])
        size = browser.eval("(function(){var r=document.getElementById('screen').getBoundingClientRect();"
                            "return [r.width, r.height];})()")
        check(size[0] % 640 == 0 and size[0] / 640 == size[1] / 480 and size[0] > 640,
              'the canvas is scaled by a whole number to fit the page (%gx%g)' % tuple(size))
        page_shot = browser.send('Page.captureScreenshot', {'format': 'png'})['data']
        with open(os.path.join(shots, '0-page.png'), 'wb') as f:
            f.write(base64.b64decode(page_shot))
        browser.wait_for('!Module.gravikPage.pendingStore() && Module.gravikPage.syncs > 0',
                         'the new profile to be stored')
        stored = browser.eval("FS.readdir(%s)" % json.dumps(PROFILES))
        check(any(n.lower().endswith('.zqp') for n in stored), 'the profile file was written: %s' % stored)

        # The first menu item starts a game.
        browser.click(320, 180 + 20)
        browser.wait_for('Module._gravik_web_state() === %d' % PLAYING, 'play to begin', timeout=60)
        browser.wait_frames(30)
        browser.shot(os.path.join(shots, '5-play.png'))
        score0 = browser.eval('Module._gravik_web_score()')
        panel0 = browser.region_hash(480, 0, 640, 480)
        browser.eval('Module._gravik_web_audio_peak()')  # forget what came before
        browser.wait_frames(20)
        figures['audio context'] = browser.eval('Module.gravikPage.audioState()')
        quiet = browser.eval('Module._gravik_web_audio_peak()')
        check(quiet == 0, 'standing still without music is silent (peak %d)' % quiet)

        browser.key('ArrowRight', 'ArrowRight', 39, kind='down')
        browser.wait_frames(90)
        browser.key('ArrowRight', 'ArrowRight', 39, kind='up')
        browser.wait_frames(30)
        score1 = browser.eval('Module._gravik_web_score()')
        browser.shot(os.path.join(shots, '6-after-walking-right.png'))
        check(score1 > score0, 'walking right raised the score (%d -> %d)' % (score0, score1))
        check(browser.region_hash(480, 0, 640, 480) != panel0, 'the side panel shows the change')
        # Digging makes no sound of its own; the status screen's click always
        # does. F2 opens it and F2 returns to play.
        browser.eval('Module._gravik_web_audio_peak()')
        blocks0 = browser.eval('Module.gravikPage.audioBlocks')
        browser.key('F2', 'F2', 113)
        browser.wait_for('Module._gravik_web_state() === %d' % STATUS, 'the status screen')
        browser.wait_frames(30)
        peak = browser.eval('Module._gravik_web_audio_peak()')
        blocks = browser.eval('Module.gravikPage.audioBlocks') - blocks0
        figures['mixer peak of a click'] = peak
        check(peak > 200 and blocks > 0, 'the status screen\'s click went through the mixer to Web Audio '
              '(peak %d, %d blocks asked, audio context %s)' % (peak, blocks, figures['audio context']))
        browser.key('F2', 'F2', 113)
        browser.wait_for('Module._gravik_web_state() === %d' % PLAYING, 'play to resume')

        # F12 saves the frame shown as a PNG in the player's folder.
        browser.key('F12', 'F12', 123)
        shot = SCREENSHOTS + '/gravik-0001.png'
        browser.wait_for('FS.analyzePath(%s).exists' % json.dumps(shot), 'the F12 screenshot')
        data = base64.b64decode(browser.eval(
            "(function(){var d=FS.readFile(%s),s='';for(var i=0;i<d.length;i++)s+=String.fromCharCode(d[i]);"
            "return btoa(s);})()" % json.dumps(shot)))
        w, h, rows = png_pixels(data)
        canvas_row = browser.eval("Array.from(document.getElementById('screen').getContext('2d')"
                                  ".getImageData(0,300,640,1).data)")
        canvas_rgb = bytes(v for i, v in enumerate(canvas_row) if i % 4 != 3)
        # The field may have moved on a little since the key; most of the row is the same.
        same = sum(rows[300][3 * x:3 * x + 3] == canvas_rgb[3 * x:3 * x + 3] for x in range(480))
        check((w, h) == (640, 480) and same >= 400,
              'F12 wrote a readable 640 x 480 PNG of the play field (%d bytes, %d of 480 pixels of a row '
              'as on the canvas)' % (len(data), same))

        # The first gamepad of the Gamepad API (stood in for here) as the game
        # reads its joystick: the stick, the d-pad while the stick is let go,
        # A B X Y as buttons 1 to 4, Start (9) and Back (8) after them, and no pad at all.
        def joystick(axes, pressed):
            browser.eval("window.testPad = {connected: true, mapping: 'standard', axes: %s, buttons: "
                         "Array.from({length: 17}, function (_, i) { return {pressed: %s.indexOf(i) >= 0}; })};"
                         "Object.defineProperty(navigator, 'getGamepads', {configurable: true, "
                         "value: function () { return [null, window.testPad]; }}); true"
                         % (json.dumps(axes), json.dumps(pressed)))
            return browser.eval('(function(){var p=_malloc(16);Module._gravik_web_joystick(p);'
                                'var r=Array.from(HEAP32.subarray(p>>2,(p>>2)+4));_free(p);return r;})()')
        readings = [joystick([-1, 0], []), joystick([0.05, -0.05], [15, 12]), joystick([1, 1], [0, 3, 14]),
                    joystick([0, 0], [1, 2]), joystick([0, 0], [9, 16]), joystick([0, 0], [8, 0])]
        browser.eval('delete navigator.getGamepads; window.testPad = null; true')
        gone = browser.eval('(function(){var p=_malloc(16);Module._gravik_web_joystick(p);'
                            'var r=HEAP32[p>>2];_free(p);return r;})()')
        check(readings == [[1, 0, 32768, 0], [1, 65535, 0, 0], [1, 65535, 65535, 9], [1, 32768, 32768, 6],
                           [1, 32768, 32768, 16], [1, 32768, 32768, 33]]
              and gone == 0, 'the gamepad reads as the joystick: %s, then none' % readings)

        # The game's own work per frame over 600 frames of play.
        browser.eval('Module._gravik_web_timing_reset()')
        t0 = time.time()
        for i in range(10):
            for code, vk in (('ArrowDown', 40), ('ArrowLeft', 37), ('ArrowUp', 38), ('ArrowRight', 39)):
                browser.key(code, code, vk, kind='down')
                browser.wait_frames(15)
                browser.key(code, code, vk, kind='up')
        elapsed = time.time() - t0
        timing = browser.eval('(function(){var p=_malloc(16);Module._gravik_web_timing(p);'
                              'var r=Array.from(HEAP32.subarray(p>>2,(p>>2)+4));_free(p);return r;})()')
        figures['frames measured'] = timing[0]
        figures['median frame work (ms)'] = timing[1] / 1000
        figures['worst frame work (ms)'] = timing[2] / 1000
        figures['99th percentile frame work (ms)'] = timing[3] / 1000
        figures['page frame rate during play (fps)'] = round(timing[0] / elapsed, 1)
        check(timing[0] >= 600, '%d frames of play were measured' % timing[0])
        browser.shot(os.path.join(shots, '7-after-600-frames.png'))

        # Give the game up (Escape, then the frames until a menu), reload, and
        # find the player again.
        browser.wait_for('!Module.gravikPage.pendingStore()', 'stores to finish')
        browser.send('Page.reload')
        browser.wait_for("typeof Module === 'object' && Module._gravik_web_state && "
                         "Module.gravikPage.frames > 30", 'the reloaded page', timeout=60)
        check(browser.state() == MAIN_MENU, 'after a reload the game opens on the main menu, not the name entry')
        check(browser.eval('Module.gravikPage.firstNameEntryMs') < 0, 'no name was asked for after the reload')
        browser.shot(os.path.join(shots, '8-after-reload.png'))

        # A second tab of the page does not start a second game.
        tab = browser.send('Target.createTarget', {'url': url}, session=False)['targetId']
        first = browser.session
        browser.session = browser.send('Target.attachToTarget', {'targetId': tab, 'flatten': True},
                                        session=False)['sessionId']
        try:
            browser.wait_for("document.getElementById('notes') && "
                             "document.getElementById('notes').textContent.indexOf('already open') >= 0",
                             'the second tab to say the game is open')
            check(not browser.eval("!!document.querySelector('script[src=\"gravik.js\"]')"),
                  'a second tab does not load the game')
        finally:
            browser.session = first
            browser.send('Target.closeTarget', {'targetId': tab}, session=False)
    finally:
        for line in browser.console[-20:]:
            print('     console: ' + line)
        browser.close()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)

    figures.update({'%s bytes' % k: v for k, v in sizes.items()})
    print('figures:')
    for k, v in figures.items():
        print('  %s: %s' % (k, v))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('site')
    ap.add_argument('--shots', default=None)
    a = ap.parse_args()
    shots = a.shots or os.path.join(os.path.dirname(os.path.abspath(a.site)), 'shots')
    try:
        run(a.site, shots)
    except Failure as e:
        print('FAILED: %s' % e)
        return 1
    print('The web page passed.')
    return 0


if __name__ == '__main__':
    sys.exit(main())
