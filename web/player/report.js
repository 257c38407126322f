// The identification report the Print command prints: the key's title, the answers in words,
// the drawing as it stands, the ranked species with the legend, and the document of the
// leading species. It lives in #report, hidden on the screen; the print style sheet shows it
// alone. Every text from the key is set as text.
(function (root) {
  "use strict";

  const LISTED = 200;  // lines of the ranked list printed; a note says how many follow

  function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  // Elements of a species document kept in the report; anything else gives only its text.
  const KEPT = new Set(["P", "H1", "H2", "H3", "H4", "H5", "H6", "UL", "OL", "LI", "EM", "STRONG",
                        "I", "B", "BR", "TABLE", "THEAD", "TBODY", "TR", "TD", "TH", "DL", "DT",
                        "DD", "BLOCKQUOTE", "SPAN", "DIV", "FIGURE", "FIGCAPTION", "SUB", "SUP"]);

  // A copy of a document's body made of plain elements, texts and pictures only (no
  // attributes but a picture's address, made absolute from the document's own).
  function copyBody(node, base, out) {
    for (const child of node.childNodes) {
      if (child.nodeType === 3) {
        out.append(document.createTextNode(child.nodeValue));
      } else if (child.nodeType === 1) {
        const tag = child.tagName.toUpperCase();
        if (tag === "IMG") {
          const src = child.getAttribute("src");
          if (!src) continue;
          const img = document.createElement("img");
          img.src = new URL(src, base).href;
          img.alt = child.getAttribute("alt") || "";
          out.append(img);
        } else if (KEPT.has(tag)) {
          copyBody(child, base, out.appendChild(document.createElement(tag.toLowerCase())));
        } else if (tag !== "SCRIPT" && tag !== "STYLE" && tag !== "TEMPLATE") {
          copyBody(child, base, out);
        }
      }
    }
    return out;
  }

  // The document shown in the frame when the page may read it (over http, or a browser that
  // lets a folder's pages read each other); else the frame itself, printed at a page's height.
  function documentPart(frame, page) {
    let body = null;
    try {
      const doc = frame.contentDocument;
      if (doc && doc.body && frame.contentWindow.location.href.endsWith(page.split("#")[0]))
        body = doc.body;
    } catch (e) {
      body = null;
    }
    if (body) return copyBody(body, frame.contentWindow.location.href, element("div", "docCopy"));
    const copy = document.createElement("iframe");
    copy.className = "docFrame";
    copy.setAttribute("sandbox", "allow-same-origin");
    copy.title = frame.title;
    copy.src = page;
    return copy;
  }

  // parts: {title, texts(number), answers: [[question, answer]], drawing: canvas | null,
  //         lines: [text], legend, leading: {name, page} | null, frame}
  function build(box, parts) {
    const t = parts.texts;
    const children = [element("h1", "", parts.title), element("p", "subtitle", t(1797)),
                      element("h2", "", t(1798))];
    if (parts.answers.length === 0) {
      children.push(element("p", "", t(1799)));
    } else {
      const list = element("ul", "answers");
      for (const [question, answer] of parts.answers) {
        const li = element("li");
        li.append(element("strong", "", question + ": "), document.createTextNode(answer));
        list.append(li);
      }
      children.push(list);
    }
    if (parts.drawing) {
      const img = document.createElement("img");
      img.className = "drawing";
      img.alt = t(1795);
      try {
        img.src = parts.drawing.toDataURL("image/png");
        children.push(img);
      } catch (e) {
        // A canvas the page cannot read is left out of the report.
      }
    }
    children.push(element("h2", "", t(1800)), element("p", "legend", parts.legend));
    const ranked = element("ol", "ranked");
    for (const line of parts.lines.slice(0, LISTED)) ranked.append(element("li", "", line));
    children.push(ranked);
    if (parts.lines.length > LISTED)
      children.push(element("p", "", t(1802).replace("%1", String(parts.lines.length - LISTED))));
    if (parts.leading && parts.leading.page) {
      children.push(element("h2", "docHeading", t(1801).replace("%1", parts.leading.name)));
      children.push(documentPart(parts.frame, parts.leading.page));
    }
    box.replaceChildren(...children);
  }

  // The Print command: the leading species' document is loaded into a frame of its own
  // first, so the report holds it whatever document is on the screen. The browser's own
  // print command prints the report too, with what is at hand.
  class Printer {
    // host: {texts(number), answers(), drawing(), lines(), legend(), leading()}
    constructor(box, host) {
      this.box = box;
      this.host = host;
      this.frame = null;
      this.printing = false;
      root.addEventListener("beforeprint", () => {
        if (!this.printing) this.build();
      });
    }
    build() {
      const h = this.host;
      build(this.box, {
        title: document.title, texts: h.texts, answers: h.answers(), drawing: h.drawing(),
        lines: h.lines(), legend: h.legend(), leading: h.leading(),
        frame: this.frame || document.getElementById("doc"),
      });
    }
    load(page) {
      if (!this.frame) {
        const frame = document.createElement("iframe");
        frame.id = "printDoc";
        frame.setAttribute("sandbox", "allow-same-origin");
        frame.setAttribute("aria-hidden", "true");
        frame.tabIndex = -1;
        frame.title = this.host.texts(1721);
        document.body.append(frame);
        this.frame = frame;
      }
      const frame = this.frame;
      return new Promise((resolve) => {
        frame.addEventListener("load", resolve, { once: true });
        setTimeout(resolve, 3000);
        frame.src = page;
      });
    }
    async print() {
      const lead = this.host.leading();
      if (lead && lead.page) await this.load(lead.page);
      this.build();
      this.printing = true;
      root.print();
      this.printing = false;
    }
  }

  root.VirekaReport = Object.freeze({ build, copyBody, Printer });
})(globalThis);
