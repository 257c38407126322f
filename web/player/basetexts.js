// The texts of the key in the reader's language: the questions, states, group headings,
// toolbar captions and tips, pictures of choices and title that the site's assets give for a
// language, each falling back to the key's own text where that language lacks it.
(function (root) {
  "use strict";

  const own = (value) => (typeof value === "string" ? value : null);

  // The texts of language `tag` ("fr"), or null when the key has none in it.
  function local(assets, key, tag) {
    const all = assets && assets.languages;
    const texts = all && Object.prototype.hasOwnProperty.call(all, tag) ? all[tag] : null;
    if (!texts || typeof texts !== "object") return null;
    const table = (name) => (texts[name] && typeof texts[name] === "object" ? texts[name] : {});
    const questions = table("questions"), states = table("states"), groups = table("groups");
    const choices = table("choices");
    const button = (bar, i) => {
      const list = Array.isArray(texts[bar]) ? texts[bar] : [];
      return list[i] && typeof list[i] === "object" ? list[i] : {};
    };
    return {
      object: (r) => own(key.objects[r] && questions[String(key.objects[r].key).toUpperCase()]),
      state(s) {
        const code = key.stateCodes[s];
        return code === null || code === undefined ? null : own(states[String(code).toUpperCase()]);
      },
      group: (name) => own(Object.prototype.hasOwnProperty.call(groups, name) ? groups[name] : null),
      caption: (bar, i) => own(button(bar, i).caption),
      tip: (bar, i) => own(button(bar, i).tip),
      choice: (objectKey) => choices[String(objectKey).toUpperCase()] || null,
      title: own(texts.title),
    };
  }

  root.VirekaBaseTexts = { local };
})(globalThis);
