// The page side of the game, linked into gravik.js ahead of the module's own
// code: the canvas, the page's input events, Web Audio, the gamepad, messages
// in the page, and the player's folders kept in the browser's IndexedDB.
// The program calls into Module.gravikPage; the page's events go to the
// program's gravik_web_* functions.

Module.gravikPage = (function () {
  'use strict';
  var HOME = '/home/web_user';  // the program's $HOME: profiles, settings, screenshots
  var W = 640, H = 480;

  var page = {
    firstFrameMs: -1,       // performance.now() at the first frame drawn
    firstNameEntryMs: -1,   // ... and at the first frame of the name entry
    frames: 0,
    storeLoaded: false,     // the stored folders were read before start-up
    storeError: '',
    syncs: 0,               // stores finished
    syncing: false,
  };
  var ready = false;
  var canvas = null, ctx = null, image = null;
  var dirty = false;
  var audio = null;         // {ac, node, left, right, frames}

  function el(id) { return document.getElementById(id); }

  function status(text) {
    var s = el('status');
    if (!s) return;
    s.textContent = text;
    s.style.display = text ? '' : 'none';
  }

  function note(text) {
    var n = el('notes');
    if (!n) return;
    var p = document.createElement('p');
    p.textContent = text;
    n.appendChild(p);
    fit();
  }

  // --- the screen ----------------------------------------------------------

  function fit() {
    if (!canvas) return;
    var room = el('room');
    var aw = room ? room.clientWidth : window.innerWidth;
    var ah = window.innerHeight - (room ? room.getBoundingClientRect().top : 0) - 8;
    var s = Math.max(1, Math.floor(Math.min(aw / W, ah / H)));
    canvas.style.width = (W * s) + 'px';
    canvas.style.height = (H * s) + 'px';
  }

  page.draw = function (ptr, w, h) {
    if (!ctx) return;
    // The picture is a view on the program's memory, made again only when
    // the frame moved or the memory grew.
    if (!image || image.ptr !== ptr || image.w !== w || image.h !== h || image.buffer !== HEAPU8.buffer) {
      var pixels = new Uint8ClampedArray(HEAPU8.buffer, ptr, w * h * 4);
      image = { ptr: ptr, w: w, h: h, buffer: HEAPU8.buffer, data: new ImageData(pixels, w, h) };
    }
    ctx.putImageData(image.data, 0, 0);
    page.frames++;
    var now = performance.now();
    if (page.firstFrameMs < 0) page.firstFrameMs = now;
    if (page.firstNameEntryMs < 0 && Module['_gravik_web_state']() === 7) page.firstNameEntryMs = now;
  };

  page.showCanvas = function (visible) { if (canvas) canvas.style.visibility = visible ? 'visible' : 'hidden'; };
  page.showCursor = function (visible) { if (canvas) canvas.style.cursor = visible ? 'default' : 'none'; };

  // Messages never block: they show over the page until dismissed.
  page.message = function (isError, title, text) {
    var box = el('message');
    if (!box) { (isError ? console.error : console.log)(title + ': ' + text); return; }
    var item = document.createElement('div');
    item.className = isError ? 'msg error' : 'msg';
    var t = document.createElement('b');
    t.textContent = title;
    var body = document.createElement('pre');
    body.textContent = text;
    var ok = document.createElement('button');
    ok.textContent = 'OK';
    ok.onclick = function () { item.remove(); if (!box.children.length) box.style.display = 'none'; };
    item.appendChild(t); item.appendChild(body); item.appendChild(ok);
    box.appendChild(item);
    box.style.display = '';
  };

  page.started = function () {
    ready = true;
    status('');
    fit();  // the loading line has gone: room for a larger picture
    if (canvas) canvas.focus();
  };

  page.ended = function (code) {
    ready = false;
    storeNow();
    if (canvas) canvas.style.opacity = '0.35';  // the last picture, shown as over
    status(code === 0 ? 'The game has ended. Reload the page to play again.'
                      : 'The game stopped after an error. Reload the page to start again.');
  };

  // --- the player's folders --------------------------------------------------

  function storeNow() {
    if (!dirty || page.syncing || !page.storeLoaded) return;
    dirty = false;
    page.syncing = true;
    FS.syncfs(false, function (err) {
      page.syncing = false;
      if (err) {
        if (!page.storeError) note('Your progress could not be stored in this browser (' + err + ').');
        page.storeError = String(err);
      } else {
        page.syncs++;
      }
      if (dirty) storeNow();  // saved again while this store ran
    });
  }
  page.afterFrame = storeNow;
  page.storeNow = storeNow;
  page.pendingStore = function () { return dirty || page.syncing; };

  function underHome(path) {
    return typeof path === 'string' && (path === HOME || path.indexOf(HOME + '/') === 0);
  }

  // Every change under the home folder marks it for storing after the frame.
  function watchFileSystem() {
    function wrap(name, pathsOf) {
      var original = FS[name];
      FS[name] = function () {
        var result = original.apply(FS, arguments);
        var paths = pathsOf.apply(null, arguments);
        for (var i = 0; i < paths.length; i++) if (underHome(paths[i])) { dirty = true; break; }
        return result;
      };
    }
    wrap('write', function (stream) { return [stream && stream.path]; });
    wrap('truncate', function (path) { return [path]; });
    wrap('ftruncate', function (fd) { var s = FS.getStream(fd); return [s && s.path]; });
    wrap('rename', function (from, to) { return [from, to]; });
    wrap('unlink', function (path) { return [path]; });
    wrap('rmdir', function (path) { return [path]; });
    wrap('mkdir', function (path) { return [path]; });
  }

  function loadStore() {
    try {
      FS.mkdirTree(HOME);
      if (typeof indexedDB === 'undefined') throw new Error('no IndexedDB');
      FS.mount(IDBFS, {}, HOME);
    } catch (e) {
      page.storeError = String(e);
      note('This browser keeps no files for the game (' + e + '): profiles and settings last until the page closes.');
      return;
    }
    addRunDependency('gravik-store');
    FS.syncfs(true, function (err) {
      if (err) {
        page.storeError = String(err);
        note('The stored profiles could not be read (' + err + ').');
      } else {
        page.storeLoaded = true;
      }
      removeRunDependency('gravik-store');
    });
  }

  // --- sound -----------------------------------------------------------------

  page.openAudio = function (rate) {
    var AC = window.AudioContext || window.webkitAudioContext;
    if (!AC) return 0;
    var ac;
    try { ac = new AC({ sampleRate: rate }); } catch (e) {
      try { ac = new AC(); } catch (e2) { return 0; }
    }
    var frames = 2048;
    var node = ac.createScriptProcessor(frames, 0, 2);
    var a = { ac: ac, node: node, frames: frames, left: _malloc(frames * 4), right: _malloc(frames * 4) };
    node.onaudioprocess = function (e) {
      var L = e.outputBuffer.getChannelData(0), R = e.outputBuffer.getChannelData(1);
      var n = Math.min(L.length, a.frames);
      page.audioBlocks++;
      if (!ready) { L.fill(0); R.fill(0); return; }
      Module['_gravik_web_audio_fill'](a.left, a.right, n);
      L.set(HEAPF32.subarray(a.left >> 2, (a.left >> 2) + n));
      R.set(HEAPF32.subarray(a.right >> 2, (a.right >> 2) + n));
    };
    node.connect(ac.destination);
    audio = a;
    return ac.sampleRate | 0;
  };

  page.closeAudio = function () {
    if (!audio) return;
    audio.node.disconnect();
    audio.ac.close();
    _free(audio.left); _free(audio.right);
    audio = null;
  };

  page.audioBlocks = 0;  // blocks Web Audio asked the mixer for
  page.audioState = function () { return audio ? audio.ac.state : 'none'; };

  // Browsers start sound only after the player has pressed a key or clicked.
  function wakeAudio() {
    if (audio && audio.ac.state !== 'running') audio.ac.resume();
  }

  // --- the gamepad -----------------------------------------------------------

  // A stick this close to the middle counts as let go (the d-pad then steers).
  var CENTRE = 8000 / 32768;
  page.readPad = function (i32) {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    var pad = null;
    for (var i = 0; i < pads.length; i++) if (pads[i] && pads[i].connected) { pad = pads[i]; break; }
    if (!pad) { HEAP32[i32] = 0; return; }
    var ax = pad.axes.length > 0 ? pad.axes[0] : 0, ay = pad.axes.length > 1 ? pad.axes[1] : 0;
    var b = pad.buttons, down = function (k) { return k < b.length && b[k].pressed; };
    if (Math.abs(ax) <= CENTRE && Math.abs(ay) <= CENTRE && pad.mapping === 'standard') {
      if (down(14)) ax = -1;
      if (down(15)) ax = 1;
      if (down(12)) ay = -1;
      if (down(13)) ay = 1;
    }
    // A, B, X, Y, then Start (9) and Back (8) of the standard mapping.
    var bits = 0;
    for (var k = 0; k < 4; k++) if (down(k)) bits |= 1 << k;
    if (pad.mapping === 'standard') {
      if (down(9)) bits |= 16;
      if (down(8)) bits |= 32;
    }
    HEAP32[i32] = 1;
    HEAP32[i32 + 1] = Math.round((ax + 1) * 32767.5);
    HEAP32[i32 + 2] = Math.round((ay + 1) * 32767.5);
    HEAP32[i32 + 3] = bits;
  };

  // --- keyboard, mouse, focus --------------------------------------------------

  // KeyboardEvent.code to the key's USB usage number.
  var HID = { Enter: 40, Escape: 41, Backspace: 42, Tab: 43, Space: 44, Minus: 45, Equal: 46,
    BracketLeft: 47, BracketRight: 48, Backslash: 49, Semicolon: 51, Quote: 52, Backquote: 53,
    Comma: 54, Period: 55, Slash: 56, CapsLock: 57, PrintScreen: 70, ScrollLock: 71, Pause: 72,
    Insert: 73, Home: 74, PageUp: 75, Delete: 76, End: 77, PageDown: 78, ArrowRight: 79,
    ArrowLeft: 80, ArrowDown: 81, ArrowUp: 82, NumLock: 83, NumpadDivide: 84, NumpadMultiply: 85,
    NumpadSubtract: 86, NumpadAdd: 87, NumpadEnter: 88, Numpad0: 98, NumpadDecimal: 99,
    IntlBackslash: 100, ContextMenu: 101, Power: 102, NumpadEqual: 103, AudioVolumeMute: 127,
    AudioVolumeUp: 128, AudioVolumeDown: 129, NumpadComma: 133, IntlRo: 135, KanaMode: 136,
    IntlYen: 137, Convert: 138, NonConvert: 139, ControlLeft: 224, ShiftLeft: 225, AltLeft: 226,
    MetaLeft: 227, ControlRight: 228, ShiftRight: 229, AltRight: 230, MetaRight: 231,
    MediaTrackNext: 258, MediaTrackPrevious: 259, MediaStop: 260, MediaPlayPause: 261 };
  (function () {
    var i;
    for (i = 0; i < 26; i++) HID['Key' + String.fromCharCode(65 + i)] = 4 + i;
    for (i = 1; i <= 9; i++) { HID['Digit' + i] = 29 + i; HID['Numpad' + i] = 88 + i; }
    HID.Digit0 = 39;
    for (i = 1; i <= 12; i++) HID['F' + i] = 57 + i;
    for (i = 13; i <= 24; i++) HID['F' + i] = 91 + i;
  })();
  page.hidOf = function (code) { return HID[code] || 0; };

  function shiftBits(e) { return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0); }

  function onKey(e) {
    wakeAudio();
    if (!ready) return;
    // The browser's own shortcuts (Ctrl/Cmd + key) stay the browser's.
    if (e.metaKey || (e.ctrlKey && !/^(Control|Shift|Alt)/.test(e.code))) return;
    var hid = HID[e.code] || 0;
    var down = e.type === 'keydown';
    var ch = (e.key && e.key.length === 1) ? e.key.toLowerCase().charCodeAt(0) : 0;
    if (hid) Module['_gravik_web_key'](down ? 1 : 0, hid, ch, shiftBits(e), e.repeat ? 1 : 0);
    if (down && e.key && e.key.length === 1 && !e.ctrlKey && !e.altKey) {
      Module['_gravik_web_text'](e.key.codePointAt(0));
    }
    e.preventDefault();
  }

  function toScreen(e) {
    var r = canvas.getBoundingClientRect();
    return [Math.floor((e.clientX - r.left) * W / r.width), Math.floor((e.clientY - r.top) * H / r.height)];
  }

  var BUTTON = { 0: 1, 2: 2, 1: 3 };
  function onMouse(e) {
    if (e.type === 'mousedown') { wakeAudio(); canvas.focus(); }
    if (!ready) return;
    var p = toScreen(e);
    if (e.type === 'mousemove') {
      Module['_gravik_web_mouse'](0, p[0], p[1], 0, shiftBits(e));
    } else if (BUTTON[e.button]) {
      Module['_gravik_web_mouse'](e.type === 'mousedown' ? 1 : 2, p[0], p[1], BUTTON[e.button], shiftBits(e));
    }
    e.preventDefault();
  }

  function install() {
    canvas = el('screen');
    if (!canvas) return;
    ctx = canvas.getContext('2d');
    canvas.width = W;
    canvas.height = H;
    window.addEventListener('keydown', onKey);
    window.addEventListener('keyup', onKey);
    canvas.addEventListener('mousedown', onMouse);
    window.addEventListener('mouseup', onMouse);  // also let go outside the canvas
    canvas.addEventListener('mousemove', onMouse);
    canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
    canvas.addEventListener('mouseenter', function () { if (ready) Module['_gravik_web_mouse'](3, 0, 0, 0, 0); });
    canvas.addEventListener('mouseleave', function () { if (ready) Module['_gravik_web_mouse'](4, 0, 0, 0, 0); });
    canvas.addEventListener('wheel', function (e) {
      if (ready && e.deltaY) Module['_gravik_web_wheel'](e.deltaY < 0 ? 1 : -1);
      e.preventDefault();
    }, { passive: false });
    window.addEventListener('blur', function () { if (ready) Module['_gravik_web_focus'](0); });
    window.addEventListener('focus', function () { if (ready) Module['_gravik_web_focus'](1); });
    window.addEventListener('pagehide', storeNow);
    window.addEventListener('resize', fit);
    fit();
  }

  Module['preRun'] = Module['preRun'] || [];
  if (typeof Module['preRun'] === 'function') Module['preRun'] = [Module['preRun']];
  Module['preRun'].push(function () {
    install();
    watchFileSystem();
    loadStore();
  });

  return page;
})();
