// Runs in the page's head, before the form is drawn. The form can be drawn
// before the page's script (tavrel.HASH.js, deferred) has run: a click on a
// button made in that moment would reach no listener and be lost. It is
// kept here, and app.js runs it through its click gate once it listens.
'use strict';
document.tavrelEarlyClicks = [];
document.tavrelKeepEarlyClick = (event) => {
  const button = event.target instanceof Element ? event.target.closest('#Form1 button') : null;
  if (button) document.tavrelEarlyClicks.push(button.id);
};
document.addEventListener('click', document.tavrelKeepEarlyClick, true);
