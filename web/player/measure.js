// The number field of a question whose states are ranges of a measurement: shown above its
// picture of choices, it takes a value with a decimal comma or point, the unit beside it.
// Enter asks the host to choose the one state whose range holds the value.
(function (root) {
  "use strict";

  class MeasureField {
    // host: {submit(text)}; texts: t(number)
    constructor(stage, host, t) {
      this.host = host;
      this.form = document.createElement("form");
      this.form.id = "measure";
      this.form.hidden = true;
      this.form.noValidate = true;
      const label = document.createElement("label");
      this.input = document.createElement("input");
      this.input.type = "text";
      this.input.inputMode = "decimal";
      this.input.autocomplete = "off";
      this.input.spellcheck = false;
      this.input.placeholder = t(1860);
      this.unit = document.createElement("span");
      this.unit.className = "unit";
      label.append(this.input, this.unit);
      const ok = document.createElement("button");
      ok.type = "submit";
      ok.textContent = t(1044) || "OK";
      this.form.append(label, ok);
      this.form.addEventListener("submit", (e) => {
        e.preventDefault();
        this.host.submit(this.input.value);
      });
      stage.before(this.form);
    }

    // Shows the field for question o (an engine object), or hides it when o is not measured.
    open(o) {
      const m = o && o.measure;
      this.form.hidden = !m;
      this.input.value = "";
      if (!m) return;
      this.input.setAttribute("aria-label", o.text);
      this.unit.textContent = m.unit;
    }

    close() {
      this.form.hidden = true;
    }

    get shown() {
      return !this.form.hidden;
    }

    focus() {
      this.input.focus();
    }
  }

  root.VirekaMeasure = Object.freeze({ MeasureField });
})(globalThis);
