// The page bridge, injected at document creation into every frame, in the application's own
// script world: page scripts cannot see or change anything defined here. Every frame document
// talks to the host on its own, with XMLHttpRequest to the host's quib-bridge: scheme, so no
// message a page could observe ever passes between frames. QUIB_PAGE_KEY is replaced by the host
// with a secret of the browser page; with it the bridge asks the host for an identity for this
// document (an id and a key of its own, new for every document, also one rewritten by
// document.open) and proves that identity with every later request. Keys only ever travel in a
// request header (a page can read the addresses of requests, never their headers). The host's
// commands come back as the answers to a request the bridge keeps open.
// The browser runs no document-creation script in a frame left at about:blank (which a page
// fills by script): the parent's bridge installs one for it, working on that frame's window.
(function () {
    'use strict';
    const pageKey = 'QUIB_PAGE_KEY';
    // What the page's own world gets (window.external.WebInvoke), for the frames adopted below.
    const externalSource = /*QUIB_EXTERNAL*/'';

// Runs in the page's own world (its source goes into the script element that carries the host's
// code, so it must stand alone), first thing before that code. The injected scripts were written
// for an old browser; what the code uses of it is lent for as long as it runs:
// - the globals window.clipboardData (the host's clipboard text) and window.navigate;
// - that browser's view of the document: childNodes without white-space-only text (its parser
//   made none, so the scripts count children by index), and innerHTML with tag names in upper
//   case (the menu script looks for "<TR>").
// Whatever the page had under those names is saved and put back exactly by the function left on
// the script element (quibRestore), which marks the element when all went back. Nothing lent
// outlives the code: a getter the page got hold of meanwhile acts as the page's own afterwards.
// False, with nothing lent, when the page holds one of them in a form that cannot be replaced
// (a function declaration, a fixed property).
function lendOldBrowser(script, clipboard, uses) {
    'use strict';
    const XHTML = 'http://www.w3.org/1999/xhtml';
    const RAW_TEXT = /^(STYLE|SCRIPT|XMP|IFRAME|NOEMBED|NOFRAMES|PLAINTEXT|NOSCRIPT)$/;
    const VOID = /^(AREA|BASE|BASEFONT|BGSOUND|BR|COL|EMBED|FRAME|HR|IMG|INPUT|KEYGEN|LINK|META|PARAM|SOURCE|TRACK|WBR)$/;
    let active = true;

    function owner(object, name) {
        while (object && !Object.prototype.hasOwnProperty.call(object, name))
            object = Object.getPrototypeOf(object);
        return object;
    }
    // Reached through the document, not through the globals Node and Element, which a page may
    // have taken for names of its own.
    const nodes = owner(document, 'childNodes');
    const elements = owner(document.documentElement, 'innerHTML');
    const childNodes = nodes && Object.getOwnPropertyDescriptor(nodes, 'childNodes');
    const innerHTML = elements && Object.getOwnPropertyDescriptor(elements, 'innerHTML');
    const outerHTML = elements && Object.getOwnPropertyDescriptor(elements, 'outerHTML');

    function withoutBlankText(all) {
        const list = [];
        for (let i = 0; i < all.length; ++i) {
            const node = all[i];
            if (node.nodeType !== 3 || !/^[\t\n\f\r ]*$/.test(node.data))
                list[list.length] = node;
        }
        list.item = function (index) { return index >= 0 && index < list.length ? list[index] : null; };
        return list;
    }

    function escape(text, inAttribute) {
        text = String(text).replace(/&/g, '&amp;').replace(/\u00a0/g, '&nbsp;');
        return inAttribute ? text.replace(/"/g, '&quot;') : text.replace(/</g, '&lt;').replace(/>/g, '&gt;');
    }
    // The markup of parent's children as this browser writes it, with the tag names of HTML
    // elements in upper case.
    function upperCaseMarkup(parent) {
        const raw = RAW_TEXT.test(parent.tagName || '');
        const from = parent.tagName === 'TEMPLATE' && parent.content ? parent.content : parent;
        const all = childNodes.get.call(from);
        let out = '';
        for (let i = 0; i < all.length; ++i) {
            const node = all[i];
            if (node.nodeType === 1 && node.namespaceURI === XHTML) {
                const tag = node.tagName.toUpperCase();
                out += '<' + tag;
                for (let a = 0; a < node.attributes.length; ++a)
                    out += ' ' + node.attributes[a].name + '="' + escape(node.attributes[a].value, true) + '"';
                out += '>';
                if (!VOID.test(tag))
                    out += upperCaseMarkup(node) + '</' + tag + '>';
            } else if (node.nodeType === 1) {
                out += outerHTML.get.call(node);  // SVG and MathML keep their names' case
            } else if (node.nodeType === 3) {
                out += raw ? node.data : escape(node.data, false);
            } else if (node.nodeType === 8) {
                out += '<!--' + node.data + '-->';
            } else if (node.nodeType === 7) {
                out += '<?' + node.target + ' ' + node.data + '>';
            }
        }
        return out;
    }

    const lent = [];
    if (uses.clipboardData) {
        lent.push([window, 'clipboardData', { configurable: true, writable: true, value: {
            getData: function (format) { return String(format).toLowerCase() === 'text' ? clipboard : ''; },
            setData: function () { return false; },
            clearData: function () { return false; } } }]);
    }
    if (uses.navigate)
        lent.push([window, 'navigate', { configurable: true, writable: true, value: function (address) { window.location.href = String(address); } }]);
    if (uses.childNodes) {
        if (!childNodes || !childNodes.get)
            return false;
        lent.push([nodes, 'childNodes', { configurable: true, enumerable: childNodes.enumerable, get: function () {
            const all = childNodes.get.call(this);
            return active ? withoutBlankText(all) : all;
        } }]);
    }
    if (uses.innerHTML) {
        if (!innerHTML || !innerHTML.get || !innerHTML.set || !childNodes || !childNodes.get || !outerHTML || !outerHTML.get)
            return false;
        lent.push([elements, 'innerHTML', { configurable: true, enumerable: innerHTML.enumerable, set: innerHTML.set, get: function () {
            const html = active && this.namespaceURI === XHTML && this.ownerDocument && this.ownerDocument.contentType === 'text/html';
            return html ? upperCaseMarkup(this) : innerHTML.get.call(this);
        } }]);
    }

    const saved = [];
    for (const [target, name] of lent) {
        const own = Object.getOwnPropertyDescriptor(target, name);
        if (own && !own.configurable)
            return false;
        saved.push([target, name, own]);
    }
    function giveBack() {
        active = false;
        let all = true;
        for (let i = saved.length - 1; i >= 0; --i) {
            const [target, name, own] = saved[i];
            try {
                if (own)
                    Object.defineProperty(target, name, own);
                else
                    delete target[name];
            } catch (e) {
                all = false;
            }
        }
        return all;
    }
    try {
        for (const [target, name, descriptor] of lent)
            Object.defineProperty(target, name, descriptor);
    } catch (e) {
        giveBack();
        return false;
    }
    script.quibRestore = function () {
        delete script.quibRestore;
        if (giveBack())
            script.setAttribute('data-ran', '');
    };
    return true;
}

function install(window, adopted) {
    const document = window.document;
    try { Object.defineProperty(window, 'quibBridge', { value: true }); } catch (e) { }
    const isTop = window === window.top;
    if (adopted && externalSource) {
        const script = document.createElement('script');
        script.textContent = externalSource;
        (document.head || document.documentElement).appendChild(script);
        script.remove();
    }

    // Runs code in the page's own global scope, as the page's scripts run (form and element names
    // resolve on document there, and not in this world), with what it uses of the old browser the
    // injected scripts were written for lent to it (see lendOldBrowser). A page whose own globals
    // or document accessors stand in the way only keeps the code from running when the code uses
    // one of them. The clipboard text goes along only when the host sent it for this code. The
    // script element is emptied before any page script can look at it. True only when the code
    // ran to its end and everything lent was given back after it: code that throws, or does not
    // compile, did not do what it was sent for.
    function runInPage(code, clipboard) {
        const uses = {};
        for (const name of ['clipboardData', 'navigate', 'childNodes', 'innerHTML'])
            uses[name] = code.indexOf(name) >= 0;
        const prologue = 'if((' + lendOldBrowser.toString() + ')(document.currentScript,' + JSON.stringify(clipboard) +
            ',' + JSON.stringify(uses) + '))';
        const script = document.createElement('script');
        script.textContent = prologue + 'try{' + code + '\n;document.currentScript.setAttribute("data-done","");}' +
            'finally{document.currentScript.quibRestore();}';
        (document.head || document.documentElement).appendChild(script);
        const ran = script.hasAttribute('data-ran') && script.hasAttribute('data-done');
        script.textContent = '';
        script.remove();
        return ran;
    }

    function elementByName(name) {
        const found = document.all.namedItem(String(name));
        const element = found instanceof window.HTMLCollection ? found[0] : found;
        return element && 'value' in element ? element : null;
    }

    // The operations the host asks of this document.
    function perform(command) {
        switch (command.op) {
        case 'exec':
            return { ok: runInPage(String(command.code), String(command.clipboard || '')) };
        case 'get': {
            const element = elementByName(command.name);
            return element ? { ok: true, value: String(element.value) } : { ok: false };
        }
        case 'set': {
            const element = elementByName(command.name);
            if (!element)
                return { ok: false };
            element.value = String(command.value);
            return { ok: true };
        }
        }
        return { ok: false };
    }

    function request(path, params, key, done, failed) {
        const xhr = new window.XMLHttpRequest();
        let query = '';
        for (let i = 0; i < params.length; ++i)
            query += (i ? '&' : '?') + params[i][0] + '=' + encodeURIComponent(params[i][1]);
        xhr.open('GET', 'quib-bridge:' + path + query);
        xhr.setRequestHeader('X-Quib-Key', key);
        xhr.onload = function () { done(xhr.responseText); };
        xhr.onerror = failed;
        xhr.onabort = failed;
        xhr.send();
        return xhr;
    }

    let identity = null;  // { id, key } of this document, once the host has given it one
    let poll = null;      // the open request the host answers with its next command
    // Messages to the host, sent one at a time in the order they were made; 'hello' and 'renew'
    // (after document.open) ask for this document's identity.
    const outbox = [{ kind: 'hello' }];
    let sending = null;  // the message on its way

    function readIdentity(text) {
        let answer = null;
        try { answer = JSON.parse(text); } catch (e) { return null; }
        return answer && typeof answer.id === 'string' && typeof answer.key === 'string' ? { id: answer.id, key: answer.key } : null;
    }

    function flush() {
        if (sending || !outbox.length)
            return;
        const item = outbox.shift();
        let xhr = null;
        const next = function () {
            if (sending !== xhr)
                return;
            sending = null;
            flush();
        };
        if (item.kind === 'hello' || item.kind === 'renew') {
            // Renewing is asking again with the old identity; without one (the host never gave
            // it, or the answer was lost) it is asking afresh. The host voids the old identity's
            // open request when it renews it.
            const previous = item.kind === 'renew' ? identity : null;
            poll = null;
            identity = null;
            const params = previous ? [['d', previous.id]] : [['top', isTop ? '1' : '0']];
            xhr = request(previous ? 'renew' : 'hello', params, previous ? previous.key : pageKey, function (text) {
                if (sending !== xhr)
                    return;
                identity = readIdentity(text);
                if (identity)
                    startPolling();
                next();
            }, next);
        } else {
            const as = item.as || identity;
            if (!as) {  // this document has no bridge: the host refused it
                flush();
                return;
            }
            xhr = request(item.path, item.params.concat([['d', as.id]]), as.key, next, next);
        }
        sending = xhr;
    }

    function post(path, params, as) {
        outbox.push({ path: path, params: params, as: as });
        flush();
    }

    function startPolling() {
        const mine = identity;
        const xhr = request('poll', [['d', mine.id]], mine.key, function (text) {
            if (poll !== xhr)
                return;
            poll = null;
            let command = null;
            try { command = JSON.parse(text); } catch (e) { }
            if (identity === mine && command && typeof command === 'object' && command.doc === mine.id && command.op === 'leave') {
                // The host cut this frame off for flooding it.
                identity = null;
                window.location.replace('about:blank');
                return;
            }
            if (identity === mine && command && typeof command === 'object' && command.doc === mine.id) {
                const result = perform(command);
                const params = [['s', String(command.seq)], ['ok', result.ok ? '1' : '0']];
                if (result.value !== undefined)
                    params.push(['v', result.value]);
                post('reply', params, mine);
            }
            if (identity === mine)
                startPolling();
        }, function () {
            if (poll === xhr)
                poll = null;
        });
        poll = xhr;
    }

    let completed = false;
    function reportComplete() {
        if (completed)
            return;
        completed = true;
        post('complete', [['href', String(window.location.href)], ['host', String(window.location.hostname)]]);
    }
    function onLoad(event) {
        if (event.target === document)
            reportComplete();
    }
    function onReadyState() {
        if (document.readyState === 'complete')
            reportComplete();
    }
    // Calls from the main world's WebInvoke arrive as events on this document carrying text only.
    function onInvoke(event) {
        let args = [];
        try { args = JSON.parse(String(event.detail)); } catch (e) { return; }
        if (!Array.isArray(args))
            return;
        post('invoke', args.map(function (arg) { return ['a', arg === null || arg === undefined ? '' : String(arg)]; }));
    }
    // document.open drops every listener of the document and its window, ours included; they
    // are added again when that is seen (adding the same listener twice adds it once).
    function listen() {
        window.addEventListener('load', onLoad);
        document.addEventListener('readystatechange', onReadyState);
        document.addEventListener('quib-webinvoke', onInvoke, true);
    }

    // document.open replaces the document's content and keeps this world's state: the rewritten
    // document asks for an identity of its own and reports its completion like any other. A
    // request on its way across document.open never hears back: it is given up.
    let root = document.documentElement;
    new window.MutationObserver(function (records) {
        let rewritten = false;
        for (const record of records) {
            for (const node of record.removedNodes)
                rewritten = rewritten || (root !== null && node === root);
        }
        root = document.documentElement;
        if (!rewritten)
            return;
        completed = false;
        outbox.push({ kind: 'renew' });
        listen();
        onReadyState();
        const lost = sending;
        sending = null;
        if (lost)
            lost.abort();
        flush();
    }).observe(document, { childList: true });

    // Frames this document adds that stay at about:blank get their bridge from here.
    function adopt(element) {
        if ((element.tagName !== 'IFRAME' && element.tagName !== 'FRAME') || (element.getAttribute('src') || 'about:blank') !== 'about:blank')
            return;
        let child = null;
        try {
            child = element.contentWindow;
            if (!child || child.quibBridge)
                return;
        } catch (e) {
            return;  // another origin's: it has a bridge of its own
        }
        install(child, true);
    }
    new window.MutationObserver(function (records) {
        for (const record of records) {
            for (const node of record.addedNodes) {
                if (node.nodeType !== 1)
                    continue;
                adopt(node);
                for (const inner of node.querySelectorAll('iframe,frame'))
                    adopt(inner);
            }
        }
    }).observe(document, { childList: true, subtree: true });

    listen();
    onReadyState();
    flush();
}

    install(window, false);
})();
