// The editor's part of a preview page, run in a world of its own: the page's scripts
// neither see these variables nor can change them, and they share only the document.
// Defined once per page; each call the program makes follows this text as one
// expression that uses it, and its value is the call's answer.
if (!window.__sheetsmith) {
    window.__sheetsmith = (function () {
        'use strict';
        const kMaxBoxes = 500;
        const normal = (s) => s.replace(/\r\n?/g, '\n').trim();

        // The style elements that hold the sheet's pieces, in order: at first the one the
        // composed page carries the sheet in, then one more per piece beside it.
        let styles = null;
        // The overlay: one host element outside the page's own tree of elements, its
        // boxes in a shadow root that no style of the page reaches.
        let host = null;
        let boxes = null;
        let hoverBox = null;
        let shown = '';
        let listening = false;
        let frame = 0;
        // Picking: the selectors asked about, the handlers, and the answer waiting.
        let picking = null;
        let picked = null;

        function findStyle(expected) {
            const want = normal(expected);
            const all = document.querySelectorAll('style');
            for (let i = all.length - 1; i >= 0; --i) {
                if (normal(all[i].textContent) === want)
                    return all[i];
            }
            return null;
        }

        // Replaces `removed` pieces of the sheet (-1: all) from index `from` with the texts given,
        // reusing the pieces' style elements in place and adding or removing elements
        // beside them. `expected` is the sheet's whole text while the page is fresh from
        // a load, when its one element must be found first; null afterwards. Texts are
        // set as text, never read as markup, so "</style>" in a sheet is only characters
        // of it. Answers the milliseconds the engine took to restyle and lay the page
        // out again, or -1 when the page holds no such element (it replaced its head, or
        // is not a composed page), so the program sends the whole sheet next time.
        function setSheet(expected, from, removed, texts) {
            if (styles && !styles.every((e) => e.isConnected))
                styles = null;
            if (expected !== null) {
                // After an unanswered update the page may hold pieces already, which
                // then give way to the texts given.
                const found = findStyle(expected);
                if (found)
                    styles = [found];
            }
            if (styles && removed < 0)
                removed = styles.length - from;
            if (!styles || styles.length === 0 || from + removed > styles.length) {
                styles = null;
                return -1;
            }
            const start = performance.now();
            const kept = Math.min(removed, texts.length);
            for (let i = 0; i < kept; ++i)
                styles[from + i].textContent = texts[i];
            if (removed > kept) {
                // At least one element stays, so there is always one to clone from.
                const gone = styles.splice(from + kept, Math.min(removed - kept, styles.length - 1));
                for (const e of gone)
                    e.remove();
            } else if (texts.length > kept) {
                const at = from + kept;
                const last = styles[styles.length - 1];
                const before = at < styles.length ? styles[at] : last.nextSibling;
                const added = texts.slice(kept).map((text) => {
                    const e = styles[0].cloneNode(false);
                    e.textContent = text;
                    last.parentNode.insertBefore(e, before);
                    return e;
                });
                styles.splice(at, 0, ...added);
            }
            document.documentElement.getBoundingClientRect();
            getComputedStyle(document.documentElement).color;
            const took = performance.now() - start;
            if (shown)
                draw();
            return took;
        }

        function overlay() {
            if (host && host.isConnected)
                return;
            host = document.createElement('sheetsmith-overlay');
            host.setAttribute('data-sheetsmith-overlay', '');
            host.setAttribute('aria-hidden', 'true');
            host.style.cssText = 'all: initial !important; display: block !important; position: fixed !important;'
                + ' left: 0 !important; top: 0 !important; width: 0 !important; height: 0 !important;'
                + ' overflow: visible !important; pointer-events: none !important; z-index: 2147483647 !important;';
            const root = host.attachShadow({ mode: 'open' });
            const css = document.createElement('style');
            css.textContent = ':host { all: initial; }'
                + ' div { position: fixed; box-sizing: border-box; pointer-events: none; }'
                + ' [data-box], [data-hover] { border: 2px solid #1a73e8; background: rgba(26, 115, 232, 0.12); }'
                + ' [data-hover] { border-style: dashed; border-color: #e8710a; background: rgba(232, 113, 10, 0.12); }'
                + ' [data-label] { font: 12px/1.4 sans-serif; color: #fff; background: #1a73e8; padding: 1px 5px;'
                + ' border-radius: 3px; white-space: nowrap; }';
            boxes = document.createElement('div');
            hoverBox = document.createElement('div');
            hoverBox.setAttribute('data-hover', '');
            hoverBox.style.display = 'none';
            root.append(css, boxes, hoverBox);
            document.documentElement.appendChild(host);
        }

        function place(box, rect) {
            box.style.left = rect.left + 'px';
            box.style.top = rect.top + 'px';
            box.style.width = rect.width + 'px';
            box.style.height = rect.height + 'px';
        }

        function follow() {
            if (listening)
                return;
            listening = true;
            const later = () => {
                if (!frame)
                    frame = requestAnimationFrame(() => { frame = 0; if (shown) draw(); });
            };
            window.addEventListener('scroll', later, true);
            window.addEventListener('resize', later, true);
        }

        // Outlines the elements the selector matches. Answers their number, or -1 when
        // the engine does not take the selector (the outline is then taken away).
        function draw() {
            let found;
            try {
                found = Array.from(document.querySelectorAll(shown)).filter((e) => e !== host);
            } catch (e) {
                shown = '';
                clear();
                return -1;
            }
            overlay();
            follow();
            boxes.replaceChildren();
            const count = found.length;
            let first = null;
            for (let i = 0; i < count && i < kMaxBoxes; ++i) {
                const rect = found[i].getBoundingClientRect();
                const box = document.createElement('div');
                box.setAttribute('data-box', '');
                place(box, rect);
                boxes.appendChild(box);
                if (!first && rect.width + rect.height > 0)
                    first = rect;
            }
            const label = document.createElement('div');
            label.setAttribute('data-label', '');
            label.textContent = shown + ' \u2014 ' + count + (count === 1 ? ' element' : ' elements')
                + (count > kMaxBoxes ? ', the first ' + kMaxBoxes + ' outlined' : '');
            const at = first || { left: 0, top: 0 };
            label.style.left = Math.max(0, at.left) + 'px';
            label.style.top = Math.max(0, at.top - 20) + 'px';
            boxes.appendChild(label);
            return count;
        }

        function clear() {
            if (boxes)
                boxes.replaceChildren();
            if (host && !picking) {
                host.remove();
                host = null;
            }
        }

        function highlight(selector) {
            shown = selector;
            if (!shown) {
                clear();
                return 0;
            }
            return draw();
        }

        function stopPicking() {
            if (!picking)
                return;
            for (const [type, handler] of picking.handlers)
                window.removeEventListener(type, handler, true);
            picking = null;
            if (hoverBox)
                hoverBox.style.display = 'none';
            if (!shown)
                clear();
        }

        // While picking, the pointer outlines the element under it, and a click on one
        // is the page's no more: it ends picking and leaves the selectors it matches
        // for takePick. Escape ends picking with no element.
        function pick(on, selectors) {
            stopPicking();
            picked = null;
            if (!on)
                return true;
            overlay();
            picking = { selectors: selectors, handlers: [] };
            const listen = (type, handler) => {
                window.addEventListener(type, handler, true);
                picking.handlers.push([type, handler]);
            };
            const swallow = (e) => {
                e.preventDefault();
                e.stopPropagation();
                e.stopImmediatePropagation();
            };
            listen('mousemove', (e) => {
                if (!(e.target instanceof Element))
                    return;
                hoverBox.style.display = 'block';
                place(hoverBox, e.target.getBoundingClientRect());
            });
            for (const type of ['mousedown', 'mouseup', 'pointerdown', 'pointerup', 'dblclick', 'auxclick', 'contextmenu'])
                listen(type, swallow);
            listen('click', (e) => {
                swallow(e);
                if (!(e.target instanceof Element))
                    return;
                const asked = picking.selectors;
                stopPicking();
                picked = matching(e.target, asked);
            });
            listen('keydown', (e) => {
                if (e.key !== 'Escape')
                    return;
                swallow(e);
                stopPicking();
                picked = 'cancel';
            });
            return true;
        }

        // The indexes of the selectors that the element matches, as the engine decides.
        function matching(element, selectors) {
            const out = [];
            selectors.forEach((selector, i) => {
                try {
                    if (element.matches(selector))
                        out.push(i);
                } catch (e) {
                    // A selector the engine does not take matches nothing.
                }
            });
            return out;
        }

        // The answer of a finished pick once: a JSON array of indexes, "cancel", or
        // null while there is none.
        function takePick() {
            const answer = picked;
            picked = null;
            return answer === null ? null : JSON.stringify(answer);
        }

        function boxCount() {
            return boxes ? boxes.querySelectorAll('[data-box]').length : 0;
        }

        return { setSheet, highlight, pick, takePick, boxCount };
    })();
}
