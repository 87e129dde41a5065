// The page's head script, inline (allowed by its hash) and run before the
// form is drawn. The form can be drawn before the page's script
// (tavrel.HASH.js, deferred) has run: a click on a button made in that
// moment would reach no listener and be lost. It is kept here, and app.js
// runs it through its click gate once it listens.
'use strict';
document.tavrelEarlyClicks = [];
document.tavrelKeepEarlyClick = (event) => {
  const button = event.target instanceof Element ? event.target.closest('#Form1 button') : null;
  if (button) document.tavrelEarlyClicks.push(button.id);
};
document.addEventListener('click', document.tavrelKeepEarlyClick, true);

// The wasm is compiled while the page is still being read and drawn, as
// its bytes arrive (streaming, for a host that serves it as
// application/wasm), instead of once the deferred script has run. Only the
// published folder names a wasm (its preload link); the single file has
// it inline.
const tavrelWasmLink = document.querySelector('link[rel=preload][as=fetch]');
if (tavrelWasmLink && typeof WebAssembly === 'object' && typeof WebAssembly.compileStreaming === 'function') {
  const source = () => fetch(tavrelWasmLink.href, { credentials: 'same-origin' });
  document.tavrelCompiledWasm = WebAssembly.compileStreaming(source())
    // A host that sends another type: compile the bytes instead.
    .catch(() => source().then((response) => {
      if (!response.ok) throw new Error(`${tavrelWasmLink.href}: ${response.status}`);
      return response.arrayBuffer();
    }).then((bytes) => WebAssembly.compile(bytes)));
  document.tavrelCompiledWasm.catch(() => {}); // reported when the module starts
}
