// The page's half of the browser edition: it holds the controls and the
// dialogs, and hands the core (the wasm module made by createTavrel) the
// page object it reads and writes the boxes through. The core decides
// everything else, as it does behind the desktop windows.
'use strict';
(() => {
  const byId = (id) => document.getElementById(id);
  const boxes = [1, 2, 3, 4, 5, 6, 7, 8].map((k) => byId('Text' + k));
  const resultBoxes = boxes.slice(5);
  const announcement = byId('announcement');

  // Shows a dialog modally (the page behind takes no input) and resolves
  // with its return value once it closes; the focus then goes back where it
  // was.
  function showModal(dialog, focusTarget) {
    const returnFocus = document.activeElement;
    dialog.returnValue = '';
    dialog.showModal();
    focusTarget.focus();
    return new Promise((resolve) => {
      dialog.addEventListener('close', () => {
        if (returnFocus && returnFocus.focus) returnFocus.focus();
        resolve(dialog.returnValue);
      }, { once: true });
    });
  }

  // Which browsers can run the page: <dialog> (Chrome 37, Firefox 98,
  // Safari 15.4) and 'wasm-unsafe-eval' in the page's policy (Chrome 97,
  // Firefox 102, Safari 16) decide it; the module is built for the same
  // versions (MIN_*_VERSION in web/CMakeLists.txt).
  const browsersThatWork = '可以使用的浏览器：Chrome 或 Edge 97 及以上、Firefox 102 及以上、Safari 16 及以上'
    + '（iPhone 和 iPad 上的各种浏览器需 iOS 16 及以上）。';

  function startModule(pageObject) {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      return Promise.reject(new Error('no-webassembly'));
    }
    // The page names the wasm it belongs to (its name carries its contents'
    // hash); the single file has it inline and asks for no file.
    const wasm = document.querySelector('link[rel=preload][as=fetch]');
    const options = { tavrelPage: pageObject };
    if (wasm) options.locateFile = () => wasm.href;
    // Compiled already, from the page's head (head.js): only the
    // instance is made here. A failure there fails the start.
    let compileFailed = null;
    const failure = new Promise((resolve, reject) => { compileFailed = reject; });
    const compiled = document.tavrelCompiledWasm;
    if (compiled) {
      options.instantiateWasm = (imports, receive) => {
        compiled.then((module) => WebAssembly.instantiate(module, imports))
          .then((instance) => receive(instance), compileFailed);
        return {};
      };
    }
    try {
      return Promise.race([createTavrel(options), failure]);
    } catch (error) {
      return Promise.reject(error);
    }
  }

  // A program that cannot start says so where its form is, and the buttons
  // say they do nothing, instead of doing nothing silently.
  function reportStartupFailure(error) {
    const what = error && error.message === 'no-webassembly'
      ? '这个浏览器不支持 WebAssembly，或者已经把它关闭了，Tavrel 的计算程序无法运行。'
      : '计算程序（tavrel.wasm）无法载入或启动：文件可能不完整、已损坏或被拦截，'
        + '也可能是浏览器版本太旧。请刷新页面；如果仍然不行，请换用其他浏览器。';
    const failure = byId('startup-failure');
    byId('startup-failure-message').textContent = what;
    byId('startup-failure-browsers').textContent = browsersThatWork;
    failure.hidden = false;
    for (const id of ['Command1', 'Command2']) byId(id).disabled = true;
    document.documentElement.dataset.ready = 'failed';
    console.error('Tavrel:', error);
  }

  const prompt = {
    dialog: byId('prompt'), title: byId('prompt-title'),
    message: byId('prompt-message'), answer: byId('prompt-answer'),
  };
  byId('prompt-ok').addEventListener('click', () => prompt.dialog.close('ok'));
  byId('prompt-cancel').addEventListener('click', () => prompt.dialog.close(''));
  byId('prompt-close').addEventListener('click', () => prompt.dialog.close(''));
  prompt.answer.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && !event.isComposing) {
      event.preventDefault();
      prompt.dialog.close('ok');
    }
  });

  const alertBox = { dialog: byId('alert'), message: byId('alert-message'), ok: byId('alert-ok') };
  alertBox.ok.addEventListener('click', () => alertBox.dialog.close());
  let pendingAlert = null;

  const page = {
    boxText: (k) => boxes[k - 1].value,
    setBoxText: (k, text) => {
      const box = boxes[k - 1];
      box.value = text;
      box.scrollLeft = 0; // a text wider than its box shows its beginning
    },
    ask: async (message, title) => {
      prompt.title.textContent = title;
      prompt.message.textContent = message;
      prompt.answer.value = '';
      const how = await showModal(prompt.dialog, prompt.answer);
      return how === 'ok' ? prompt.answer.value : '';
    },
    showError: (message) => {
      alertBox.message.textContent = message;
      pendingAlert = showModal(alertBox.dialog, alertBox.ok);
    },
  };

  // Screen readers hear the results when a calculation changes them.
  function announceResults(before) {
    const after = resultBoxes.map((box) => box.value);
    if (after.every((text, i) => text === before[i])) return;
    announcement.textContent = resultBoxes
      .map((box) => box.labels[0].textContent + ' ' + box.value).join('，');
  }

  // Starts the module; resolves with it, or with null once the page has
  // said, in its place of the form, why the program cannot run.
  const started = startModule(page).then((module) => {
    document.documentElement.dataset.ready = 'true';
    return module;
  }, (error) => {
    reportStartupFailure(error);
    return null;
  });

  // The click gate. It lives here, outside the module, because a module
  // suspended by Asyncify (Command2_Click awaiting its prompt) must not be
  // entered again until it resumes: a second call would run on the unwound
  // stack. So one click runs at a time, from the handler's start to the
  // close of the alert it may open; a click that reaches a button meanwhile
  // (a script's click(), an assistive technology's press) does nothing. A
  // click made before the module has started waits for it and is then run.
  let busy = false;
  async function runClick(handler) {
    if (busy) return;
    busy = true;
    const before = resultBoxes.map((box) => box.value);
    try {
      const module = await started;
      if (!module) return;
      await handler(module);
      if (pendingAlert) await pendingAlert;
    } finally {
      pendingAlert = null;
      busy = false;
      announceResults(before);
    }
  }
  byId('Command1').addEventListener('click', () => runClick((module) => module._tavrel_command1_click()));
  byId('Command2').addEventListener('click', () =>
    runClick((module) => module.ccall('tavrel_command2_click', null, [], [], { async: true })));
  // Clicks made before this script ran (kept by head.js) run now.
  document.removeEventListener('click', document.tavrelKeepEarlyClick, true);
  for (const id of document.tavrelEarlyClicks || []) byId(id).click();

  // Tab and Shift+Tab go round the form: from 输入成绩 back to 评委1.
  const tabStops = Array.from(document.querySelectorAll('#Form1 input, #Form1 button'));
  document.addEventListener('keydown', (event) => {
    if (event.key !== 'Tab' || document.querySelector('dialog[open]')) return;
    const first = tabStops[0];
    const last = tabStops[tabStops.length - 1];
    if (!event.shiftKey && document.activeElement === last) {
      event.preventDefault();
      first.focus();
    } else if (event.shiftKey && document.activeElement === first) {
      event.preventDefault();
      last.focus();
    }
  });

  // The published folder works offline after the first visit; the single
  // file, opened from disk, has nothing to cache.
  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js').catch((error) => {
      // The page works without it, only not offline: say why in the console.
      console.warn('Tavrel: 无法注册离线缓存（service worker）：', error);
    });
  }
})();
