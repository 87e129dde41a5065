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

  // One click at a time: a click that reaches a button while another is
  // still running (its dialogs open) does nothing.
  let busy = false;
  async function runClick(handler) {
    if (busy) return;
    busy = true;
    const before = resultBoxes.map((box) => box.value);
    try {
      await handler();
      if (pendingAlert) await pendingAlert;
    } finally {
      pendingAlert = null;
      busy = false;
      announceResults(before);
    }
  }

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

  createTavrel({ tavrelPage: page }).then((module) => {
    byId('Command1').addEventListener('click', () => runClick(() => module._tavrel_command1_click()));
    byId('Command2').addEventListener('click', () =>
      runClick(() => module.ccall('tavrel_command2_click', null, [], [], { async: true })));
    document.documentElement.dataset.ready = 'true';
    performance.mark('tavrel-usable'); // for the start-up benchmark
  });

  // The published folder works offline after the first visit; the single
  // file, opened from disk, has nothing to cache.
  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  }
})();
