// The message box of the player: one at a time, answered by its buttons. It is modal: the
// page behind it is inert, Tab stays among its buttons, Escape answers with its last button,
// the focus goes back where it was, and screen readers hear it named by the key's title.
(function (root) {
  "use strict";

  // box: the #dialog element (holding #dialogTitle, #dialogText, #dialogButtons);
  // behind(): the parts of the page made inert while it shows. Returns
  // dialog(text, [[label, value]]) -> Promise of the value of the button pressed.
  function create(box, behind) {
    const part = (name) => box.querySelector("#" + name);
    let closeOpen = null;
    box.addEventListener("keydown", (e) => {
      const buttons = [...part("dialogButtons").children];
      if (e.key === "Escape" && closeOpen) {
        e.preventDefault();
        e.stopPropagation();
        buttons[buttons.length - 1].click();
      } else if (e.key === "Tab" && buttons.length > 0) {
        const i = buttons.indexOf(document.activeElement);
        const next = (i + (e.shiftKey ? -1 : 1) + buttons.length) % buttons.length;
        e.preventDefault();
        buttons[i < 0 ? 0 : next].focus();
      }
    });
    return function dialog(text, buttons) {
      // A box still open is answered by its last button before the next one shows.
      if (closeOpen) closeOpen();
      return new Promise((resolve) => {
        const before = document.activeElement;
        part("dialogTitle").textContent = document.title;
        part("dialogText").textContent = text;
        const row = part("dialogButtons");
        const close = (value) => {
          closeOpen = null;
          box.hidden = true;
          for (const e of behind()) e.inert = false;
          if (before && before !== document.body && before.isConnected) before.focus();
          resolve(value);
        };
        closeOpen = () => close(buttons[buttons.length - 1][1]);
        row.replaceChildren(...buttons.map(([label, value]) => {
          const b = document.createElement("button");
          b.type = "button";
          b.textContent = label;
          b.addEventListener("click", () => close(value));
          return b;
        }));
        for (const e of behind()) e.inert = true;
        box.hidden = false;
        row.firstChild.focus();
      });
    };
  }

  root.VirekaDialog = Object.freeze({ create });
})(globalThis);
