// Inside the module's scope, ahead of its own code: reads `length` UTF-16
// units at `pointer` as a string. Unlike UTF16ToString it does not stop at a
// zero unit, so a box text passes through whole.
function tavrelString(pointer, length) {
  let text = '';
  for (let i = 0; i < length; i += 4096) {
    const end = Math.min(length, i + 4096);
    text += String.fromCharCode.apply(null, HEAPU16.subarray((pointer >> 1) + i, (pointer >> 1) + end));
  }
  return text;
}
