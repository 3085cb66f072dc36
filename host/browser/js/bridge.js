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
    // resolve on document there, and not in this world). The IE globals window.clipboardData and
    // window.navigate are ours while the code runs; whatever the page had under those names is put
    // back afterwards, and when the page holds one that cannot be replaced the code does not run.
    // The clipboard text goes along only when the host sent it for this code. The script element
    // is emptied before any page script can look at it. True only when the code ran to its end
    // and the page's globals were restored after it: code that throws, or does not compile, did
    // not do what it was sent for.
    function runInPage(code, clipboard) {
        const prologue = 'if((function(s){var c=' + JSON.stringify(clipboard) + ',saved={},names=["clipboardData","navigate"],i;' +
            'for(i=0;i<names.length;++i){var d=Object.getOwnPropertyDescriptor(window,names[i]);if(d&&!d.configurable)return false;saved[names[i]]=d;}' +
            's.quibRestore=function(){for(var n in saved){if(saved[n])Object.defineProperty(window,n,saved[n]);else delete window[n];}' +
            'delete s.quibRestore;s.setAttribute("data-ran","");};' +
            'try{Object.defineProperty(window,"clipboardData",{configurable:true,writable:true,value:{getData:function(f){return String(f).toLowerCase()=="text"?c:"";},setData:function(){return false;},clearData:function(){return false;}}});' +
            'Object.defineProperty(window,"navigate",{configurable:true,writable:true,value:function(a){window.location.href=String(a);}});}' +
            'catch(e){s.quibRestore();s.removeAttribute("data-ran");return false;}return true;})(document.currentScript))';
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
