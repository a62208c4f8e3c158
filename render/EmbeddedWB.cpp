#include "render/EmbeddedWB.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <array>
#include <utility>

namespace {

// The helper script that TEmbeddedWB places in every page (isolated world).
const char *const HelperScript = R"js(
// The helper of TEmbeddedWB inside every page. It runs in a world of its own: it shares the DOM
// with the page, but the page (whose scripts are switched off anyway) can neither see nor call it.
// The control calls window.varnelo.* and hears back through console messages "varnelo:...".
(function () {
    'use strict';
    if (window.varnelo) {
        return;
    }

    const RES_ANCHOR = /^ID(\d+)$/;
    const ANCHORS = '[id^="ID"], a[name^="ID"]';
    const FRONT_MARK = 'varnelo-front';
    const PLAIN_FORM = 'template.varnelo-plain';
    const MARKED = 'varnelo-marked';
    const BOX = 'div.varnelo-res';
    const FRONT_ROOM = 'div.varnelo-room';
    const BACK_ROOM = 'varnelo-back-room';
    // The boxes of the responses (Boxed) are laid out only near the view; one never laid out
    // counts as a response of a few lines. A box shows nothing outside itself, so a word too long
    // for its line (an address) breaks instead of running out of it.
    const BOX_HEIGHT = 90;
    const BOX_STYLE = BOX + ' { content-visibility: auto; contain-intrinsic-size: auto ' + BOX_HEIGHT + 'px;'
                      + ' overflow-wrap: break-word; }';
    let marker = null;       // the comment before which written HTML is inserted
    let generation = -1;     // the written document this page holds
    let ours = false;        // the page is the control's own load (attach), which takes its documents
    let anchors = [];        // the response anchors, in page order
    let lastTop = -1;
    let tail = [];           // the nodes of the tail, after the marker
    let marked = new Map();  // the plain form of each response written with its mark (Marked), by its box
    let going = new Map();   // the same of those whose marks are off but still show, away from the view
    let goingFrames = false; // goOn runs at each frame
    let front = null;        // the comment before which prepended HTML goes
    let frontIndex = 0;      // where the anchors of prepended HTML go in `anchors`
    let boxSheet = null;     // the style of the boxes, once the page has taken it
    let pin = null;          // the element kept in its place in the view while the page lays out (pinAt)
    let pinFrames = false;   // keepPin runs at each frame
    let firstScreen = null;  // the boxes of a first screen, until they are laid out (layOutAround)
    let backRoom = null;     // the room below what is appended, for the responses still to come

    function anchorNumber(element) {
        const match = RES_ANCHOR.exec(element.id || '') ||
                      RES_ANCHOR.exec(element.getAttribute('name') || '');
        return match ? parseInt(match[1], 10) : 0;
    }

    function collectAnchors(root, into) {
        for (const element of root.querySelectorAll(ANCHORS)) {
            if (anchorNumber(element) > 0) {
                into.push(element);
            }
        }
        return into;
    }

    // Where the response of the anchor stands: its box, which the anchor opens (an element inside a
    // box away from the view has no place of its own until it is laid out), else the anchor itself.
    function placeOf(anchor) {
        const box = anchor.parentNode;
        return box && box.nodeType === Node.ELEMENT_NODE && box.matches(BOX) ? box : anchor;
    }

    function findComment(text) {
        const walker = document.createTreeWalker(document, NodeFilter.SHOW_COMMENT);
        while (walker.nextNode()) {
            if (walker.currentNode.data === text) {
                return walker.currentNode;
            }
        }
        return null;
    }

    // The anchor of the response at the top of the view: the last one at or above its top edge.
    function anchorAtTop() {
        let low = 0;
        let high = anchors.length - 1;
        let found = anchors.length > 0 ? 0 : -1;
        while (low <= high) {
            const middle = (low + high) >> 1;
            if (placeOf(anchors[middle]).getBoundingClientRect().top <= 1) {
                found = middle;
                low = middle + 1;
            } else {
                high = middle - 1;
            }
        }
        return found < 0 ? null : anchors[found];
    }

    function topResNumber() {
        const anchor = anchorAtTop();
        return anchor ? anchorNumber(anchor) : 0;
    }

    // Timers never fire in this world (the page's scripts are off), so the top response is
    // measured right in the scroll event, which the browser sends at most once a frame. While a
    // place is pinned, the pin alone measures it, each time it has put its element back: the boxes
    // laid out since the last frame may have moved the view by a response or more, and a tab that
    // went to the background right then would keep that response as its place.
    function reportTopUnlessPinned() {
        if (!pin) {
            reportTop();
        }
    }

    function reportTop() {
        const top = topResNumber();
        if (top !== lastTop) {
            lastTop = top;
            console.info('varnelo:top:' + top);
        }
    }

    // The response a check box belongs to: its numeric value, else the anchor before it.
    function checkBoxNumber(box) {
        if (/^\d+$/.test(box.value)) {
            return parseInt(box.value, 10);
        }
        let number = 0;
        for (const anchor of anchors) {
            if (anchor.compareDocumentPosition(box) & Node.DOCUMENT_POSITION_FOLLOWING) {
                number = anchorNumber(anchor);
            } else {
                break;
            }
        }
        return number;
    }

    // The HTML parsed without running anything, its scripts dropped.
    function inert(html) {
        const template = document.createElement('template');
        template.innerHTML = html;
        for (const script of template.content.querySelectorAll('script')) {
            script.remove();
        }
        return template.content;
    }

    // The response anchors among the nodes and inside them, in page order.
    function anchorsIn(nodes) {
        const found = [];
        for (const node of nodes) {
            if (node.nodeType === Node.ELEMENT_NODE) {
                if (anchorNumber(node) > 0) {
                    found.push(node);
                }
                collectAnchors(node, found);
            }
        }
        return found;
    }

    // The plain forms written after the marked responses leave the page for the helper's keeping,
    // so that the document holds each response once.
    function keepPlainForms(root) {
        for (const form of root.querySelectorAll(PLAIN_FORM)) {
            marked.set(form.previousElementSibling, form.content);
            form.remove();
        }
    }

    // A write that holds the front mark shows a page from a later response on. The room it keeps for
    // the responses to come in front (FrontRoom) is as high as their boxes will be while they are
    // away from the view, and the boxes near its place are laid out at once (layOutAround): the view
    // is placed among them by their real heights, before the page is drawn. Any other write is told
    // by its text alone.
    function prepareFirstScreen(html, root) {
        if (!html.includes('<!--' + FRONT_MARK + '-->')) {
            return;
        }
        const walker = document.createTreeWalker(root, NodeFilter.SHOW_COMMENT);
        let marked = false;
        while (!marked && walker.nextNode()) {
            marked = walker.currentNode.data === FRONT_MARK;
        }
        if (!marked) {
            return;
        }
        const room = roomAfter(walker.currentNode);
        if (room) {
            room.style.height = (parseInt(room.dataset.responses, 10) || 0) * BOX_HEIGHT + 'px';
        }
        firstScreen = Array.from(root.querySelectorAll(BOX));
        // A first screen whose place is not asked for in the same call is laid out whole.
        requestAnimationFrame(() => layOutAround(null));
    }

    // The engine lays out the boxes as far as one and a half views above and below the view by
    // itself, in the frame after it finds them there; a box of the first screen within that reach
    // of its place is laid out now, so that none takes its real height after the first frame.
    function layOutAround(place) {
        const REACH_VIEWS = 1.5;
        const boxes = firstScreen || [];
        firstScreen = null;
        const at = boxes.indexOf(place);
        if (at < 0) {
            boxes.forEach(layOut);
            return;
        }
        const reach = window.innerHeight * REACH_VIEWS + BOX_HEIGHT;
        layOutReaching(boxes, at, 1, window.innerHeight + reach, place);
        layOutReaching(boxes, at - 1, -1, reach, place);
    }

    // Lays out the boxes from `from` on, each next one a `step` away, until they reach `far` pixels
    // from the place. Each look at where they reach costs a layout of the page, so the boxes go in
    // batches, as many as would fill what is left at the height of a box never laid out.
    function layOutReaching(boxes, from, step, far, place) {
        let next = from;
        let reached = 0;
        while (reached <= far && next >= 0 && next < boxes.length) {
            const count = Math.ceil((far - reached) / BOX_HEIGHT) + 1;
            for (let n = 0; n < count && next >= 0 && next < boxes.length; ++n, next += step) {
                layOut(boxes[next]);
            }
            const last = boxes[next - step].getBoundingClientRect();
            const top = place.getBoundingClientRect().top;
            reached = step > 0 ? last.bottom - top : top - last.top;
        }
    }

    function layOut(box) {
        box.style.contentVisibility = 'visible';
    }

    // The room kept right after the front mark, if any.
    function roomAfter(mark) {
        const next = mark.nextSibling;
        return next && next.nodeType === Node.ELEMENT_NODE && next.matches(FRONT_ROOM) ? next : null;
    }

    // A segment of written HTML goes in where the head left off. The responses in it take their
    // room below, if any; a room it brings goes below it, after the insertion place.
    function insert(html) {
        const content = inert(html);
        keepPlainForms(content);
        prepareFirstScreen(html, content);
        collectAnchors(content, anchors);
        if (!keepBackRoom(html, content) && backRoom) {
            takeBackRoom(content.querySelectorAll(BOX).length);
        }
        marker.parentNode.insertBefore(content, marker);
    }

    // The room below that written HTML brings goes after the insertion place.
    function keepBackRoom(html, root) {
        const room = html.includes(BACK_ROOM) ? root.querySelector('div.' + BACK_ROOM) : null;
        if (room) {
            backRoom = room;
            marker.after(room);
            takeBackRoom(0);
        }
        return room;
    }

    // The room below shrinks by the boxes that came, each as high as a box away from the view.
    function takeBackRoom(count) {
        const left = (parseInt(backRoom.dataset.responses, 10) || 0) - count;
        if (left > 0) {
            backRoom.dataset.responses = left;
            backRoom.style.height = left * BOX_HEIGHT + 'px';
        } else {
            dropBackRoom();
        }
    }

    function dropBackRoom() {
        if (backRoom) {
            backRoom.remove();
            backRoom = null;
        }
    }

    // Prepended HTML goes before the front mark that a write left (after the head, before what
    // follows it), else where appended HTML goes.
    function frontPlace() {
        if (front && front.isConnected) {
            return front;
        }
        front = findComment(FRONT_MARK);
        if (!front) {
            front = document.createComment(FRONT_MARK);
            marker.parentNode.insertBefore(front, marker);
        }
        frontIndex = anchors.findIndex(
            anchor => front.compareDocumentPosition(anchor) & Node.DOCUMENT_POSITION_FOLLOWING);
        if (frontIndex < 0) {
            frontIndex = anchors.length;
        }
        return front;
    }

    function insertFront(html) {
        const place = frontPlace();
        const content = inert(html);
        keepPlainForms(content);
        const found = collectAnchors(content, []);
        anchors.splice(frontIndex, 0, ...found);
        frontIndex += found.length;
        const room = roomAfter(place);
        const roomBottom = room ? pageTop(room) + room.getBoundingClientRect().height : 0;
        place.parentNode.insertBefore(content, place);
        if (room) {
            takeRoom(room, roomBottom, found.length);
        }
    }

    // Where the element is, from the top of the page: the engine's own anchoring of the view may
    // scroll the page as it lays out what went in above the view.
    function pageTop(element) {
        return element.getBoundingClientRect().top + window.scrollY;
    }

    // The responses that went in front take their room: it shrinks by their height, so that what
    // follows it stays where it was, and goes once they have all come (or took it all).
    function takeRoom(room, bottom, count) {
        const left = (parseInt(room.dataset.responses, 10) || 0) - count;
        const height = bottom - pageTop(room);
        if (left > 0 && height > 0) {
            room.dataset.responses = left;
            room.style.height = height + 'px';
        } else {
            room.remove();
        }
    }

    // What the view shows before HTML goes in front of it: the response at its top and where that
    // is. A view still at the page's top is to show the first response after the front; one whose
    // place is pinned keeps that place (where the view stands may be a frame's layout away from it).
    function viewHold() {
        if (pin) {
            return { element: pin.element, top: pin.top };
        }
        if (window.scrollY === 0 && !front) {
            frontPlace();
            const first = anchors[frontIndex];
            return first ? { element: placeOf(first), top: 0 } : null;
        }
        const anchor = anchorAtTop();
        if (!anchor) {
            return null;
        }
        const place = placeOf(anchor);
        return { element: place, top: place.getBoundingClientRect().top };
    }

    function keepHold(hold) {
        if (hold && hold.element.isConnected) {
            pinAt(hold.element, hold.top);
        }
    }

    // Scrolls the element to `top` pixels below the top of the view, and keeps it there over the
    // frames that follow: the boxes that come near the view are laid out in them and take their
    // real height, which moves what lies below them. Meanwhile the pin alone keeps the view in
    // place (the engine's own anchoring of the view would keep a sliver of the response before in
    // place instead); any other scroll ends it.
    function pinAt(element, top) {
        if (!boxSheet) {   // a page we did not write has no boxes
            window.scrollBy(0, element.getBoundingClientRect().top - top);
            return;
        }
        pin = { element: element, top: top, y: 0, calm: 0, frames: 0 };
        anchorView(false);
        holdPin();
        if (!pinFrames) {
            pinFrames = true;
            requestAnimationFrame(keepPin);
        }
    }

    // Scrolls the pinned element back to its place; true when it was there already (within the
    // pixel that a scroll offset can give) or the page cannot scroll any further.
    function holdPin() {
        const moved = pin.element.getBoundingClientRect().top - pin.top;
        const before = window.scrollY;
        if (Math.abs(moved) >= 1) {
            window.scrollBy(0, moved);
        }
        pin.y = window.scrollY;
        return Math.abs(moved) < 1 || pin.y === before;
    }

    function keepPin() {
        if (!pin) {   // a new document took the page
            pinFrames = false;
            return;
        }
        const PIN_CALM_FRAMES = 3;
        const PIN_MAX_FRAMES = 120;
        const scroller = document.scrollingElement;
        const atEnd = window.scrollY >= scroller.scrollHeight - window.innerHeight;   // the page got shorter
        if (!pin.element.isConnected || (window.scrollY !== pin.y && !atEnd) || ++pin.frames > PIN_MAX_FRAMES) {
            pin.calm = PIN_CALM_FRAMES;   // gone, or scrolled by the reader
        } else {
            pin.calm = holdPin() ? pin.calm + 1 : 0;
            reportTop();
        }
        if (pin.calm < PIN_CALM_FRAMES) {
            requestAnimationFrame(keepPin);
            return;
        }
        pin = null;
        pinFrames = false;
        anchorView(true);
        reportTop();
    }

    // Turns the engine's own anchoring of the view on or off, on the root element alone (a change of
    // a style sheet would have the whole page's style computed anew).
    function anchorView(on) {
        const root = document.documentElement;
        if (on) {
            root.style.removeProperty('overflow-anchor');
            if (root.getAttribute('style') === '') {
                root.removeAttribute('style');
            }
        } else {
            root.style.setProperty('overflow-anchor', 'none');
        }
    }

    // The element takes the attributes of the wanted one, and only those.
    function takeAttributes(element, wanted) {
        for (const name of element.getAttributeNames()) {
            if (!wanted.hasAttribute(name)) {
                element.removeAttribute(name);
            }
        }
        for (const name of wanted.getAttributeNames()) {
            const value = wanted.getAttribute(name);
            if (element.getAttribute(name) !== value) {
                element.setAttribute(name, value);
            }
        }
    }

    // Two nodes that can be one another: the same kind of node, an element of the same tag.
    function alike(node, wanted) {
        return node.nodeType === wanted.nodeType && node.nodeName === wanted.nodeName;
    }

    // The node takes the attributes, text and children of the wanted one and stays where it is;
    // what is equal already is left alone without a look inside.
    function morph(node, wanted) {
        if (node.isEqualNode(wanted)) {
            return;
        }
        if (node.nodeType !== Node.ELEMENT_NODE) {
            if (node.nodeValue !== wanted.nodeValue) {
                node.nodeValue = wanted.nodeValue;
            }
            return;
        }
        takeAttributes(node, wanted);
        morphRun(node, node.firstChild, null, Array.from(wanted.childNodes));
    }

    // The children of parent from current up to end (null: to the last) become the wanted nodes:
    // one alike is changed in place, one the wanted ones lack goes, a wanted one with nothing alike
    // goes in.
    function morphRun(parent, current, end, wantedNodes) {
        for (const wanted of wantedNodes) {
            if (current !== end && !alike(current, wanted) && current.nextSibling !== end
                && alike(current.nextSibling, wanted)) {
                const gone = current;
                current = current.nextSibling;
                gone.remove();
            }
            if (current !== end && alike(current, wanted)) {
                const next = current.nextSibling;
                morph(current, wanted);
                current = next;
            } else {
                parent.insertBefore(wanted, current);
            }
        }
        while (current !== end) {
            const gone = current;
            current = current.nextSibling;
            gone.remove();
        }
    }

    // True when each node follows the one before it.
    function inARow(nodes) {
        return nodes.every((node, i) => i === 0 || node.previousSibling === nodes[i - 1]);
    }

    // The children of parent after start (from the first when start is null) up to end.
    function childrenBetween(parent, start, end) {
        const run = [];
        for (let node = start ? start.nextSibling : parent.firstChild; node !== end; node = node.nextSibling) {
            run.push(node);
        }
        return run;
    }

    // Every response written with its mark takes its plain form (Marked), at a cost that does not
    // grow with their number: the boxes near the view at once (in the page change that brings the
    // update's responses), the others in the frames that follow, a part a frame, and each one as
    // soon as it comes near the view. A page off the screen draws no frames: it takes them all at
    // once, as nobody waits for it.
    function takeOffMarks() {
        if (going.size === 0) {
            going = marked;
        } else {
            marked.forEach((plain, box) => going.set(box, plain));
        }
        marked = new Map();
        if (document.hidden) {
            showPlainForms(Array.from(going.keys()));
            return;
        }
        showPlainForms(goingNearView());
        if (going.size > 0 && !goingFrames) {
            goingFrames = true;
            // The next frame shows the update: it takes only the boxes that came near the view
            // since (the view may go to the update's first response before it).
            requestAnimationFrame(() => goOn(0));
        }
    }

    // At each frame while marks are going, before it is laid out: the boxes near the view, and
    // others up to `part` boxes in all.
    function goOn(part) {
        const PLAIN_FORMS_PER_FRAME = 100;
        const boxes = new Set(goingNearView());
        for (const box of going.keys()) {
            if (boxes.size >= part) {
                break;
            }
            boxes.add(box);
        }
        showPlainForms(boxes);
        goingFrames = going.size > 0;
        if (goingFrames) {
            requestAnimationFrame(() => goOn(PLAIN_FORMS_PER_FRAME));
        }
    }

    // The boxes still to take their plain forms from half a view above the view to half a view
    // below it, found from the anchors (each response's box follows its anchor, or holds it): the
    // page is measured where it stands, before anything changes.
    function goingNearView() {
        const boxes = [];
        if (going.size === 0 || anchors.length === 0) {
            return boxes;
        }
        const margin = window.innerHeight / 2;
        let low = 0;
        let high = anchors.length;   // the first anchor below the top of the range
        while (low < high) {
            const middle = (low + high) >> 1;
            if (placeOf(anchors[middle]).getBoundingClientRect().top > -margin) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        // The response before it may reach into the range.
        for (let i = Math.max(low - 1, 0); i < anchors.length; ++i) {
            const place = placeOf(anchors[i]);
            if (i >= low && place.getBoundingClientRect().top >= window.innerHeight + margin) {
                break;
            }
            const box = place !== anchors[i] ? place : anchors[i].nextElementSibling;
            if (going.has(box)) {
                boxes.push(box);
            }
        }
        return boxes;
    }

    // The boxes take their plain forms: one native move each, with nothing to parse or compare. The
    // boxes ticked stay ticked. Each box stays: one away from the view keeps its size and is laid
    // out anew only once it comes near the view.
    function showPlainForms(boxes) {
        let anchorsMoved = false;
        for (const box of boxes) {
            const plain = going.get(box);
            going.delete(box);
            if (!box.isConnected) {
                continue;
            }
            if (box.querySelector('input[type=checkbox]:checked')) {
                const ticks = plain.querySelectorAll('input[type=checkbox]');
                box.querySelectorAll('input[type=checkbox]').forEach((tick, i) => {
                    if (ticks[i]) {
                        ticks[i].checked = tick.checked;
                    }
                });
            }
            const anchor = box.firstElementChild && box.firstElementChild.matches(ANCHORS) ? box.firstElementChild : null;
            anchorsMoved = anchorsMoved || box.querySelectorAll(ANCHORS).length > (anchor ? 1 : 0)
                           || plain.querySelector(ANCHORS) !== null;
            box.replaceChildren(...(anchor ? [anchor] : []), plain);
            box.classList.remove(MARKED);
        }
        if (anchorsMoved) {
            anchors = collectAnchors(document, []);
        }
    }

    // The page takes the style of the boxes, out of its document (its HTML never shows it).
    function styleBoxes() {
        if (boxSheet) {
            return;
        }
        boxSheet = new CSSStyleSheet();
        boxSheet.replaceSync(BOX_STYLE);
        document.adoptedStyleSheets = [...document.adoptedStyleSheets, boxSheet];
    }

    // The tail after the insertion place becomes other HTML (a footer that counts anew), its nodes
    // kept where they stay alike. It follows everything written: the room below goes.
    function replaceTail(html) {
        dropBackRoom();
        const wanted = Array.from(inert(html).childNodes);
        const parent = marker.parentNode;
        if (tail.length > 0 && tail[0].previousSibling === marker && inARow(tail)) {
            const end = tail[tail.length - 1].nextSibling;
            morphRun(parent, tail[0], end, wanted);
            tail = childrenBetween(parent, marker, end);
            return;
        }
        for (const node of tail) {
            node.remove();
        }
        const place = marker.nextSibling;
        for (const node of wanted) {
            parent.insertBefore(node, place);
        }
        tail = wanted;
    }

    window.addEventListener('scroll', reportTopUnlessPinned, { passive: true });
    window.addEventListener('resize', reportTopUnlessPinned);
    document.addEventListener('change', function (event) {
        const box = event.target;
        if (box && box.type === 'checkbox') {
            const number = checkBoxNumber(box);
            if (number > 0) {
                console.info('varnelo:check:' + number + ':' + (box.checked ? 1 : 0));
            }
        }
    }, true);

    // The head and body of `html` take the place of the page's, without its scripts; a base element
    // with `baseHref` (when given) leads the head.
    function takeDocument(html, baseHref) {
        const parsed = new DOMParser().parseFromString(html, 'text/html');
        for (const script of parsed.querySelectorAll('script')) {
            script.remove();
        }
        const headNodes = Array.from(parsed.head.childNodes);
        if (baseHref) {
            const base = parsed.createElement('base');
            base.href = baseHref;
            headNodes.unshift(base);
        }
        takeAttributes(document.documentElement, parsed.documentElement);
        takeAttributes(document.body, parsed.body);
        document.head.replaceChildren(...headNodes.map(node => document.adoptNode(node)));
        document.body.replaceChildren(...Array.from(parsed.body.childNodes).map(node => document.adoptNode(node)));
    }

    window.varnelo = {
        // Binds the helper to the page the control loaded to take its documents (the shell); 'stale'
        // when the page is not that load.
        attach(shellText) {
            if (!findComment(shellText)) {
                return 'stale';
            }
            ours = true;
            styleBoxes();
            return 'ok';
        },

        // A written document takes the place of what the page shows, in one change and without a
        // load: its head (the first write, up to its <body> tag and what follows it) replaces the
        // page's head and body, and later writes go where it left off (inside an element it left
        // open). False when the page is not the control's own. Scripts in the head are dropped.
        begin(newGeneration, headHtml, endText, baseHref) {
            if (!ours) {
                return false;
            }
            takeDocument(headHtml + '<!--' + endText + '-->', baseHref);
            marker = findComment(endText);
            generation = newGeneration;
            tail = [];
            marked = new Map();
            going = new Map();
            firstScreen = null;
            backRoom = null;
            keepBackRoom(headHtml, document.body);
            keepPlainForms(document);
            prepareFirstScreen(headHtml, document.body);
            front = null;
            frontIndex = 0;
            anchors = collectAnchors(document, []);
            if (pin) {
                pin = null;
                anchorView(true);
            }
            window.scrollTo(0, 0);
            lastTop = -1;
            reportTop();
            return true;
        },

        // The sample document is laid out and drawn once, and the empty page then takes its place
        // again: the first document the page takes finds its fonts and styles, and this code, ready
        // in the renderer. Says 'varnelo:warmed:<height of the page>' in the frame after the one
        // that drew the sample; a document begun in between stays as it is.
        warm(sampleHtml, baseHref) {
            if (!ours) {
                return false;
            }
            const before = generation;
            takeDocument(sampleHtml, baseHref);
            requestAnimationFrame(() => requestAnimationFrame(() => {
                const height = document.documentElement.scrollHeight;
                if (generation === before) {
                    takeDocument('', null);
                }
                console.info('varnelo:warmed:' + height);
            }));
            return true;
        },

        // Inserts the segments ([html, front]) where the head left off, or, for a front segment,
        // before everything that followed the head; takes the marks off when marksOff holds
        // (takeOffMarks) and, when newTail is a text, puts it after the insertion place in place
        // of the tail before. Scripts in any of them are dropped and never run. Nothing here asks
        // for a layout, unless marks go (the page at rest is measured for the boxes near the view)
        // or HTML goes in front: then the view keeps showing the response it showed, where it
        // showed it. With paint, says when the frame that shows them is drawn (reportPaint).
        append(forGeneration, segments, marksOff, newTail, paint) {
            if (forGeneration !== generation || !marker || !marker.isConnected) {
                return false;
            }
            if (marksOff) {
                takeOffMarks();
            }
            // What the view shows is taken just before HTML first goes in front, after what was
            // appended before it in this call (which may hold the front mark).
            let hold = null;
            let holdTaken = false;
            for (const [html, inFront] of segments) {
                if (inFront) {
                    if (!holdTaken) {
                        hold = viewHold();
                        holdTaken = true;
                    }
                    insertFront(html);
                } else {
                    insert(html);
                }
            }
            keepHold(hold);
            if (typeof newTail === 'string') {
                replaceTail(newTail);
            }
            // Responses go in below the ones written before, or in front of them with the view
            // kept, so the response at the top of the view changes only when the page had none.
            if (hold) {
                reportTop();
            } else if (lastTop <= 0 && anchors.length > 0) {
                lastTop = anchorNumber(anchors[0]);
                console.info('varnelo:top:' + lastTop);
            }
            if (paint) {
                this.reportPaint(forGeneration);
            }
            return true;
        },

        // Says so once the page has put on screen what it holds now, at its place: a place being
        // pinned is waited for, then the frame after the next one begins only when that one was
        // drawn.
        reportPaint(forGeneration) {
            const whenPlaced = () => {
                if (pin) {
                    requestAnimationFrame(whenPlaced);
                    return;
                }
                requestAnimationFrame(() => requestAnimationFrame(() => {
                    console.info('varnelo:painted:' + forGeneration);
                }));
            };
            whenPlaced();
        },

        scrollToAnchor(name) {
            const target = document.getElementById(name) || document.getElementsByName(name)[0];
            if (!target) {
                return false;
            }
            const place = placeOf(target);
            if (firstScreen) {
                layOutAround(place);
            }
            pinAt(place, 0);
            reportTop();
            return true;
        },

        activeElementHtml() {
            return document.activeElement ? document.activeElement.outerHTML : '';
        },

        elementTextAt(x, y) {
            const element = document.elementFromPoint(x, y);
            return element ? element.innerText : '';
        },
    };
})();
)js";

// The zoom factors of the five text sizes, smallest to largest.
constexpr std::array<double, 5> ZoomFactors{0.75, 0.875, 1.0, 1.25, 1.5};

QString ShellMark(int load) { return QStringLiteral("varnelo-shell:%1").arg(load); }
QString EndMark(int generation) { return QStringLiteral("varnelo-end:%1").arg(generation); }

// The document type a head begins with ("" for none): the page's mode (standards or quirks) is
// fixed by its load, so a head takes a shell loaded with the same one.
QString DocType(const QString &head)
{
    static const QRegularExpression docType(QStringLiteral("^\\s*(<!doctype[^>]*>)"), QRegularExpression::CaseInsensitiveOption);
    return docType.match(head).captured(1);
}

// The text as a JavaScript string literal.
QString JsString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Segments as a JavaScript array of [html, front] pairs.
QString JsSegments(const QList<TEmbeddedWB::TSegment> &segments)
{
    QJsonArray array;
    for (const TEmbeddedWB::TSegment &segment : segments)
        array.append(QJsonArray{segment.Html, segment.Front});
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// The position just after the first "<body ...>" tag, -1 when the text holds none yet.
int BodyTagEnd(const QString &html)
{
    static const QRegularExpression bodyTag(QStringLiteral("<body\\b[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = bodyTag.match(html);
    return match.hasMatch() ? match.capturedEnd() : -1;
}

// Answers every "tavu://" request with an empty page.
class TTavuSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        auto *body = new QBuffer(job);
        body->open(QIODevice::ReadOnly);
        job->reply("text/html", body);
    }
};

}  // namespace

// The page of the control: hands navigations and the helper's messages to the control.
class TEmbeddedWB::TPage : public QWebEnginePage {
public:
    TPage(QWebEngineProfile *profile, TEmbeddedWB *owner) : QWebEnginePage(profile, owner), owner(owner) {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        return owner->FilterNavigation(url, type == NavigationTypeTyped, isMainFrame);
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int,
                                  const QString &) override
    {
        if (level == InfoMessageLevel)
            owner->ScriptMessage(message);
    }

private:
    TEmbeddedWB *owner;
};

// The window composites the pages the engine draws in software, without OpenGL: no GL context is
// made for the web views, so the GL driver (a large library) is never loaded. A user who names
// another GL integration for the X server keeps it.
void TEmbeddedWB::PrepareEngine()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QWebEngineUrlScheme scheme(InternalScheme().toLatin1());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

TEmbeddedWB::TEmbeddedWB(QWidget *parent) : QWebEngineView(parent)
{
    QWebEngineProfile *profile = QWebEngineProfile::defaultProfile();
    if (!profile->urlSchemeHandler(InternalScheme().toLatin1()))
        profile->installUrlSchemeHandler(InternalScheme().toLatin1(), new TTavuSchemeHandler(profile));

    webPage = new TPage(profile, this);
    QWebEngineSettings *settings = webPage->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    // Written documents are local pages (their skins are files) that show pictures from the
    // boards when the skin asks for them; no script of theirs runs.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

    QWebEngineScript helper;
    helper.setName(QStringLiteral("varnelo"));
    helper.setWorldId(QWebEngineScript::ApplicationWorld);
    helper.setInjectionPoint(QWebEngineScript::DocumentCreation);
    helper.setRunsOnSubFrames(false);
    helper.setSourceCode(QString::fromUtf8(HelperScript));
    webPage->scripts().insert(helper);
    setPage(webPage);

    connect(webPage, &QWebEnginePage::loadStarted, this, &TEmbeddedWB::OnLoadStarted);
    connect(webPage, &QWebEnginePage::loadFinished, this, &TEmbeddedWB::OnLoadFinished);
    connect(webPage, &QWebEnginePage::titleChanged, this, &TEmbeddedWB::OnTitleChanged);
    connect(webPage, &QWebEnginePage::linkHovered, this, &TEmbeddedWB::StatusTextChange);
    connect(webPage, &QWebEnginePage::loadProgress, this, [this](int progress) {
        if (!internalLoad)
            emit ProgressChange(progress, 100);
    });
    connect(webPage, &QWebEnginePage::findTextFinished, this,
            [this](const QWebEngineFindTextResult &result) { emit FindFinished(result.numberOfMatches()); });
    connect(webPage, &QWebEnginePage::newWindowRequested, this, &TEmbeddedWB::OpenNewWindow);
}

TEmbeddedWB::~TEmbeddedWB()
{
    *aliveToken = false;       // answers still on their way find nobody
    webPage->disconnect(this);
}

// Runs a script in the helper's world; the answer never reaches a control that is gone.
void TEmbeddedWB::RunScript(const QString &script, std::function<void(const QVariant &)> done)
{
    webPage->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                           [alive = aliveToken, done = std::move(done)](const QVariant &result) {
                               if (*alive && done)
                                   done(result);
                           });
}

// ---- navigation ----

void TEmbeddedWB::Navigate(const QString &url)
{
    QUrl target(url);
    if (target.scheme().isEmpty())
        target = QUrl::fromLocalFile(url);
    if (target.scheme() == QLatin1String("about"))
        LeaveWrittenDocument();   // "about:" pages load without passing the navigation filter
    load(target);
}

void TEmbeddedWB::Stop()
{
    stop();
}

void TEmbeddedWB::ActivateDocument()
{
    setFocus();
}

bool TEmbeddedWB::FilterNavigation(const QUrl &url, bool typed, bool isMainFrame)
{
    if (!isMainFrame)
        return true;
    if (url.scheme() == QLatin1String("data")) {
        // Only the control loads data URLs: the heads of written documents. A written document
        // cannot be reloaded or gone back to, since what was appended lives in the page alone.
        if (!typed)
            return false;
        internalLoad = true;
        return true;
    }
    bool cancel = false;
    emit BeforeNavigate(url, cancel);
    if (cancel || url.scheme() == InternalScheme())
        return false;
    LeaveWrittenDocument();
    return true;
}

// The page is about to show something else; a written document ends here.
void TEmbeddedWB::LeaveWrittenDocument()
{
    internalLoad = false;
    shellLive = shellLoading = false;
    if (state != TDocState::Loading && state != TDocState::Ready)
        return;
    NewGeneration(TDocState::Foreign);
}

void TEmbeddedWB::OpenNewWindow(QWebEngineNewWindowRequest &request)
{
    TEmbeddedWB *target = nullptr;
    bool cancel = false;
    emit NewWindow(request.requestedUrl(), target, cancel);
    if (!cancel && target)
        request.openIn(target->page());
}

void TEmbeddedWB::OnLoadStarted()
{
    pageLoading = true;
}

void TEmbeddedWB::OnLoadFinished(bool)
{
    pageLoading = false;
    if (internalLoad) {
        if (shellLoading)
            Attach();
        return;
    }
    if (state == TDocState::None)
        state = TDocState::Foreign;
    emit DocumentComplete(url());
    emit DownloadComplete();
}

void TEmbeddedWB::OnTitleChanged(const QString &title)
{
    // A written document without a <title> would otherwise be titled with its data URL.
    emit TitleChange(title.startsWith(QLatin1String("data:")) ? QString() : title);
}

// ---- the written document ----

bool TEmbeddedWB::HasDocument() const
{
    return state != TDocState::None;
}

void TEmbeddedWB::SetBaseUrl(const QUrl &url)
{
    baseUrl = url;
}

void TEmbeddedWB::Clear()
{
    StartDocument();
    ScheduleFlush();
}

void TEmbeddedWB::Renew()
{
    StartDocument();
}

void TEmbeddedWB::Write(const QString &html)
{
    if (state == TDocState::None || state == TDocState::Foreign || closed)
        StartDocument();
    if (!fresh) {
        Queue(html, false);
        return;
    }
    head += html;
    if (BodyTagEnd(head) < 0) {
        ScheduleFlush();   // a head may still come in this turn; else the text is a plain body
        return;
    }
    fresh = false;
    LoadHead(std::exchange(head, QString()));
}

void TEmbeddedWB::Prepend(const QString &html)
{
    OpenForAppend();
    Queue(html, true);
}

void TEmbeddedWB::WriteWhenDue(std::function<QString()> make, bool front)
{
    if (!holding && later.isEmpty()) {   // nothing is drawn first: the page takes it with what is written now
        const QString html = make();
        front ? Prepend(html) : Write(html);
        return;
    }
    OpenForAppend();
    later.append({QString(), front, std::move(make)});
    ScheduleFlush();
}

QString TEmbeddedWB::Boxed(const QString &anchor, const QString &html)
{
    return QStringLiteral("<div class=\"varnelo-res\">%1%2</div>").arg(anchor, html);
}

QString TEmbeddedWB::Marked(const QString &anchor, const QString &marked, const QString &plain)
{
    return QStringLiteral("<div class=\"varnelo-res varnelo-marked\">%1%2</div><template class=\"varnelo-plain\">%3</template>")
        .arg(anchor, marked, plain);
}

QString TEmbeddedWB::FrontMark()
{
    return QStringLiteral("<!--varnelo-front-->");
}

QString TEmbeddedWB::FrontRoom(int responses)
{
    return QStringLiteral("<div class=\"varnelo-room\" data-responses=\"%1\"></div>").arg(responses);
}

QString TEmbeddedWB::BackRoom(int responses)
{
    return QStringLiteral("<div class=\"varnelo-back-room\" data-responses=\"%1\"></div>").arg(responses);
}

// The document takes appended HTML: a new one is begun, or the head written so far is loaded.
void TEmbeddedWB::OpenForAppend()
{
    if (state == TDocState::None || state == TDocState::Foreign || closed)
        StartDocument();
    if (fresh)
        EndHead();
}

void TEmbeddedWB::TakeOffMarks()
{
    if (state == TDocState::Loading || state == TDocState::Ready)
        marksOff = true;   // else the written document is gone, and its marks with it
}

void TEmbeddedWB::SendWrites()
{
    if (!flushQueued)
        SendPending();
}

void TEmbeddedWB::Queue(const QString &html, bool front)
{
    constexpr qsizetype LaterPart = 64 * 1024;   // characters: a part the page takes within a frame or two
    const bool afterScreen = holding || !later.isEmpty();
    QList<TSegment> &queue = afterScreen ? later : pending;
    if (queue.isEmpty() || queue.last().Front != front || queue.last().Make
        || (afterScreen && queue.last().Html.size() >= LaterPart))
        queue.append({QString(), front, nullptr});
    queue.last().Html += html;
    ScheduleFlush();
}

void TEmbeddedWB::HoldWritesUntilPainted()
{
    if (!isVisible() || (state != TDocState::Loading && state != TDocState::Ready) || fresh || holding)
        return;
    holding = true;
    holdPaintAsked = false;
    Flush();   // what it holds back from goes now, not after the caller's work
}

// The page drew what came before the hold (or nobody sees it any more): the rest goes in, a part a
// call, so that the page still draws (and scrolls) between the parts.
void TEmbeddedWB::ReleaseHold()
{
    if (std::exchange(holding, false))
        SendWrites();
}

void TEmbeddedWB::showEvent(QShowEvent *event)
{
    QWebEngineView::showEvent(event);
    WarmUpWhenDrawn();
}

void TEmbeddedWB::hideEvent(QHideEvent *event)
{
    QWebEngineView::hideEvent(event);
    ReleaseHold();   // a hidden page draws no frame
}

void TEmbeddedWB::WriteTail(const QString &html)
{
    if (state == TDocState::None || state == TDocState::Foreign || closed)
        StartDocument();
    tail = html;
    ScheduleFlush();
}

bool TEmbeddedWB::Reopen()
{
    if (state != TDocState::Loading && state != TDocState::Ready)
        return false;
    closed = false;
    return true;
}

void TEmbeddedWB::Close()
{
    closed = true;
    Flush();   // the whole document goes to the page now, before the caller's next work
}

bool TEmbeddedWB::IsBusy() const
{
    return pageLoading || state == TDocState::Loading || fresh || flushQueued || appendRunning ||
           HasWrites();
}

bool TEmbeddedWB::Discard()
{
    if (isVisible() || IsBusy() || IsDiscarded())
        return false;
    webPage->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    if (!IsDiscarded())
        return false;
    LeaveWrittenDocument();
    state = TDocState::None;
    return true;
}

bool TEmbeddedWB::IsDiscarded() const
{
    return webPage->lifecycleState() == QWebEnginePage::LifecycleState::Discarded;
}

QString TEmbeddedWB::LocationUrl() const
{
    switch (state) {
    case TDocState::None:
        return QString();
    case TDocState::Foreign:
        return url().toString();
    default:
        return QStringLiteral("about:blank");
    }
}

void TEmbeddedWB::StartDocument()
{
    if (IsDiscarded())
        webPage->setLifecycleState(QWebEnginePage::LifecycleState::Active);
    NewGeneration(TDocState::Loading);
    topResNumber = 0;
    PrepareShell();   // the page to take the document loads while its head is being made
}

void TEmbeddedWB::PrepareShell()
{
    if (!shellLive && !shellLoading)
        LoadShell(QString());
}

void TEmbeddedWB::WarmUp(const QString &sampleHtml)
{
    if (state != TDocState::None)
        return;
    warmSample = sampleHtml;
    WarmUpWhenDrawn();
}

// A page out of sight draws no frame: the sample waits until the shell is in and the control is
// shown.
void TEmbeddedWB::WarmUpWhenDrawn()
{
    if (!warmSample || !shellLive || !isVisible())
        return;
    warming = true;
    RunScript(QStringLiteral("varnelo.warm(%1, %2)").arg(JsString(*std::exchange(warmSample, std::nullopt)), BaseHref()),
              [this](const QVariant &result) {
                  if (!result.toBool())
                      warming = false;
              });
}

// The page takes a new written document (Loading) or none of ours (Foreign): what was written for
// the one before and not sent yet is dropped, and its answers still on their way find it gone.
void TEmbeddedWB::NewGeneration(TDocState newState)
{
    ++generation;
    state = newState;
    warmSample.reset();   // the document came first
    fresh = newState == TDocState::Loading;
    closed = false;
    head.clear();
    headToBegin.reset();
    pending.clear();
    later.clear();
    holding = false;
    marksOff = false;
    tail.reset();
    afterWrite.clear();
    paintWanted = false;
}

bool TEmbeddedWB::HasWrites() const
{
    return headToBegin || !pending.isEmpty() || !later.isEmpty() || marksOff || tail.has_value();
}

// The head of a written document goes into the page with the next write, in the same call
// (SendPending): the page the control loaded for its documents takes it in place of what it shows.
// Without such a page (none loaded yet, a web page shown, the page given up, another document
// type) one is loaded first.
void TEmbeddedWB::LoadHead(const QString &headHtml)
{
    QString start = headHtml;
    if (BodyTagEnd(start) < 0)
        start.prepend(QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>"));
    emit Inserting(start, false);
    headToBegin = start;
    const QString docType = DocType(start);
    if (shellLive && docType == shellDocType) {
        state = TDocState::Ready;
        ScheduleFlush();
        return;
    }
    state = TDocState::Loading;
    if (!shellLoading || docType != shellDocType)
        LoadShell(docType);
}

// The control's own page: empty, with the helper bound to it once loaded (Attach).
void TEmbeddedWB::LoadShell(const QString &docType)
{
    shellLive = false;
    shellLoading = true;
    warming = false;   // the page that lays out a sample goes, and its report with it
    shellDocType = docType;
    internalLoad = true;
    attachTries = 0;
    ++shellLoad;
    shellHtml = QStringLiteral("%1<html><head><meta charset=\"utf-8\"></head><body><!--%2--></body></html>")
                    .arg(docType, ShellMark(shellLoad));
    webPage->setHtml(shellHtml, ShellBase());
}

// The shell is a local page, so that the documents it takes load the skins' style sheets and
// pictures from their folders (each document names its folder as its base).
QUrl TEmbeddedWB::ShellBase()
{
    return QUrl::fromLocalFile(QDir::rootPath());
}

void TEmbeddedWB::Attach()
{
    const int forLoad = shellLoad;
    RunScript(QStringLiteral("varnelo.attach('%1')").arg(ShellMark(forLoad)), [this, forLoad](const QVariant &result) {
        if (forLoad != shellLoad || !shellLoading)
            return;   // a newer load is on its way
        if (result.toString() != QLatin1String("ok")) {
            AttachFailed(forLoad);
            return;
        }
        shellLoading = false;
        shellLive = true;
        WarmUpWhenDrawn();
        if (state != TDocState::Loading || fresh)
            return;   // no head waits for it (yet)
        state = TDocState::Ready;
        SendPending();
    });
}

// The page finished a load that is not the shell yet. Usually our own load is still coming and
// reports when it ends; but a load right over another one may finish with a single report for
// both, before the shell is in the page. Look again a few times, then load it anew.
void TEmbeddedWB::AttachFailed(int forLoad)
{
    constexpr int RetryMs = 25;
    constexpr int MaxTries = 40;
    if (pageLoading)
        return;   // the load under way reports when it ends
    if (++attachTries > MaxTries) {
        attachTries = 0;
        internalLoad = true;
        webPage->setHtml(shellHtml, ShellBase());
        return;
    }
    QTimer::singleShot(RetryMs, this, [this, forLoad] {
        if (forLoad == shellLoad && shellLoading && !pageLoading)
            Attach();
    });
}

void TEmbeddedWB::ScheduleFlush()
{
    if (flushQueued)
        return;
    flushQueued = true;
    QTimer::singleShot(0, this, &TEmbeddedWB::Flush);
}

void TEmbeddedWB::Flush()
{
    flushQueued = false;
    if (fresh)
        EndHead();
    SendPending();
}

// No head came: what was written is the body of a plain page.
void TEmbeddedWB::EndHead()
{
    fresh = false;
    pending.prepend({std::exchange(head, QString()), false, nullptr});
    LoadHead(QString());
}

// Sends everything queued in one call; what is written meanwhile waits for the next one.
void TEmbeddedWB::SendPending()
{
    if (state != TDocState::Ready || appendRunning)
        return;
    if (!holding && pending.isEmpty() && !later.isEmpty())
        pending.append(later.takeFirst());
    if (holding && !headToBegin && pending.isEmpty()) {
        if (!std::exchange(holdPaintAsked, true))
            RunScript(QStringLiteral("varnelo.reportPaint(%1)").arg(generation));
        return;
    }
    if (!HasWrites()) {
        if (!afterWrite.isEmpty())
            RunScript(std::exchange(afterWrite, QString()));
        if (std::exchange(paintWanted, false))
            RunScript(QStringLiteral("varnelo.reportPaint(%1)").arg(generation));
        return;
    }
    appendRunning = true;
    const int forGeneration = generation;
    RunScript(WriteScript(), [this, forGeneration](const QVariant &result) { AppendDone(forGeneration, result.toBool()); });
}

// The call that sends what waits: the new document's head, the segments, the marks taken off and
// the tail. What was written after a first screen waits for the frame of what goes now, which the
// page reports without another round trip, and so do the tail and a scroll written after it.
QString TEmbeddedWB::WriteScript()
{
    for (TSegment &segment : pending) {
        if (segment.Make)
            segment.Html = std::exchange(segment.Make, nullptr)();
        emit Inserting(segment.Html, segment.Front);
    }
    QString script;
    if (headToBegin) {
        script = QStringLiteral("varnelo.begin(%1, %2, '%3', %4) && ")
                     .arg(generation)
                     .arg(JsString(*std::exchange(headToBegin, std::nullopt)), EndMark(generation), BaseHref());
    }
    const bool allWritten = later.isEmpty();
    const QString newTail = tail && allWritten ? JsString(*std::exchange(tail, std::nullopt)) : QStringLiteral("null");
    const bool paint = holding && !std::exchange(holdPaintAsked, true);
    script += QStringLiteral("varnelo.append(%1, %2, %3, %4, %5)")
                  .arg(generation)
                  .arg(JsSegments(std::exchange(pending, {})),
                       std::exchange(marksOff, false) ? QStringLiteral("true") : QStringLiteral("false"), newTail,
                       paint ? QStringLiteral("true") : QStringLiteral("false"));
    // What waits for everything written so far (a scroll) runs in the same call, so that the page
    // shows the writes where it is to show them in one frame.
    if (!allWritten || afterWrite.isEmpty())
        return script;
    return QStringLiteral("(() => { const written = %1; if (written) { %2; } return written; })()")
        .arg(script, std::exchange(afterWrite, QString()));
}

// The base of written documents, as a script's argument.
QString TEmbeddedWB::BaseHref() const
{
    return baseUrl.isEmpty() ? QStringLiteral("null") : JsString(baseUrl.toString(QUrl::FullyEncoded));
}

void TEmbeddedWB::AppendDone(int forGeneration, bool applied)
{
    appendRunning = false;
    if (forGeneration == generation && !applied)
        state = TDocState::Foreign;   // the page went away under the document
    if (forGeneration == generation && !HasWrites())
        emit DocumentUpdated();
    SendPending();
}

void TEmbeddedWB::RunWhenWritten(const QString &script)
{
    if (state == TDocState::None || state == TDocState::Foreign) {
        RunScript(script);
        return;
    }
    afterWrite = script;
    SendWrites();
}

void TEmbeddedWB::ReportPaint()
{
    if (!isVisible() || (state != TDocState::Loading && state != TDocState::Ready)) {
        emit Painted();   // nothing to draw, or nobody to see it: a hidden page draws nothing
        return;
    }
    paintWanted = true;
    SendWrites();
}

void TEmbeddedWB::ScrollToAnchor(const QString &name)
{
    RunWhenWritten(QStringLiteral("varnelo.scrollToAnchor(%1)").arg(JsString(name)));
}

void TEmbeddedWB::ScrollStep(bool up)
{
    constexpr int Step = 40;   // pixels, a line of text or so
    RunScript(QStringLiteral("window.scrollBy(0, %1)").arg(up ? -Step : Step));
}

void TEmbeddedWB::ScriptMessage(const QString &message)
{
    const QStringList parts = message.split(QLatin1Char(':'));
    if (parts.value(0) != QLatin1String("varnelo"))
        return;
    if (parts.size() == 3 && parts[1] == QLatin1String("top")) {
        topResNumber = parts[2].toInt();
        emit TopResChanged(topResNumber);
    } else if (parts.size() == 3 && parts[1] == QLatin1String("painted")) {
        if (parts[2].toInt() == generation) {
            emit Painted();
            ReleaseHold();
        }
    } else if (parts.size() == 3 && parts[1] == QLatin1String("warmed")) {
        warming = false;
        warmedHeight = parts[2].toInt();
    } else if (parts.size() == 4 && parts[1] == QLatin1String("check")) {
        emit ResCheckChanged(parts[2].toInt(), parts[3] == QLatin1String("1"));
    }
}

// ---- reading the page ----

void TEmbeddedWB::ActiveElementHtml(std::function<void(const QString &)> done)
{
    RunScript(QStringLiteral("varnelo.activeElementHtml()"), [done](const QVariant &result) { done(result.toString()); });
}

void TEmbeddedWB::ElementTextAt(const QPoint &pos, std::function<void(const QString &)> done)
{
    const double factor = zoomFactor();
    RunScript(QStringLiteral("varnelo.elementTextAt(%1, %2)").arg(pos.x() / factor).arg(pos.y() / factor),
              [done](const QVariant &result) { done(result.toString()); });
}

void TEmbeddedWB::DocumentHtml(std::function<void(const QString &)> done)
{
    webPage->toHtml([alive = aliveToken, done](const QString &html) {
        if (*alive)
            done(html);
    });
}

// ---- commands ----

void TEmbeddedWB::SetTextZoom(int level)
{
    textZoom = qBound(0, level, int(ZoomFactors.size()) - 1);
    setZoomFactor(ZoomFactors[textZoom]);
}

void TEmbeddedWB::Find(const QString &text, bool backward)
{
    webPage->findText(text, backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

// The window is named after the page's title; a page the program wrote without one has no address
// worth showing ("about:blank").
void TEmbeddedWB::ViewSource()
{
    const QString page = QWebEngineView::title().trimmed();
    const bool named = !page.isEmpty() && !page.startsWith(QLatin1String("about:")) && !page.startsWith(QLatin1String("data:"));
    const QString title = named ? QStringLiteral("ソースの表示 - ") + page : QStringLiteral("ソースの表示");
    DocumentHtml([title](const QString &html) {
        auto *window = new QPlainTextEdit;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setReadOnly(true);
        window->setWindowTitle(title);
        window->setPlainText(html);
        window->resize(720, 540);
        window->show();
    });
}

// Only the program's own menus are ever shown: the engine's English one never is, handled or not.
void TEmbeddedWB::contextMenuEvent(QContextMenuEvent *event)
{
    bool handled = false;
    emit ContextMenu(event->globalPos(), handled);
    event->accept();
}
