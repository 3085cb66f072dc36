// The page bridge, injected at document creation into every frame, in the application's own
// script world: page scripts cannot see or change anything defined here. The top frame talks to
// the host over the web channel; every other frame relays through the top frame over a pair of
// message ports that no page script ever holds. The host reaches the top frame by running
// quibFromHost in this world. QUIB_FRAME_KEY is replaced by the host with a
// secret of the browser page, so a page script cannot pass itself off as a frame's bridge.
(function () {
    'use strict';
    const frameKey = 'QUIB_FRAME_KEY';
    const isTop = window === window.top;

    // Runs code in the page's own global scope, as the page's scripts run (form and element names
    // resolve on document there, and not in this world). The IE globals the code may use exist only
    // while it runs; the clipboard text goes along only when the host sent it for this code. The
    // script element is emptied before any page script can look at it. False when the code did
    // not run: it does not compile, or the page's policy forbids scripts of its own.
    function runInPage(code, clipboard) {
        const prologue = 'document.currentScript.setAttribute("data-ran","");' +
            '(function(){var c=' + JSON.stringify(clipboard) + ';' +
            'Object.defineProperty(window,"clipboardData",{configurable:true,value:{getData:function(f){return String(f).toLowerCase()=="text"?c:"";},setData:function(){return false;},clearData:function(){return false;}}});' +
            'Object.defineProperty(window,"navigate",{configurable:true,value:function(a){window.location.href=String(a);}});})();';
        const epilogue = 'delete window.clipboardData;delete window.navigate;';
        const script = document.createElement('script');
        script.textContent = prologue + 'try{' + code + '\n}finally{' + epilogue + '}';
        (document.head || document.documentElement).appendChild(script);
        const ran = script.hasAttribute('data-ran');
        script.textContent = '';
        script.remove();
        return ran;
    }

    function elementByName(name) {
        const found = document.all.namedItem(String(name));
        const element = found instanceof HTMLCollection ? found[0] : found;
        return element && 'value' in element ? element : null;
    }

    // The operations the host asks of a frame's document. The answer goes back as it is.
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

    function invokeArguments(list) {
        const texts = [];
        for (let i = 0; i < list.length; ++i)
            texts.push(list[i] === null || list[i] === undefined ? '' : String(list[i]));
        return texts;
    }

    // Host-facing side of this frame: set up below for the top frame or a sub-frame.
    let sendUp = null;

    function report(message) { sendUp(message); }

    // Calls from the main world's WebInvoke arrive as events on this document carrying text only.
    document.addEventListener('quib-webinvoke', function (event) {
        let args = [];
        try { args = JSON.parse(String(event.detail)); } catch (e) { return; }
        if (Array.isArray(args))
            report({ t: 'invoke', args: invokeArguments(args) });
    }, true);

    function reportComplete() {
        report({ t: 'complete', href: String(window.location.href), hostname: String(window.location.hostname) });
    }
    window.addEventListener('load', function (event) {
        if (event.target === document)
            reportComplete();
    });

    if (isTop) {
        const frames = new Map();  // id -> port to that frame's bridge
        const byWindow = new Map();  // frame window -> id
        const waiting = [];  // messages to the host until the channel is up
        let nextFrame = 1;
        let host = null;
        // Names this top document to the host, so that a request meant for an earlier document
        // of the tab is never answered by this one.
        const words = new Uint32Array(4);
        window.crypto.getRandomValues(words);
        const topDocument = Array.from(words, function (w) { return w.toString(16); }).join('-');

        function toHost(message) {
            message.doc = topDocument;
            if (host)
                host.fromPage(JSON.stringify(message));
            else
                waiting.push(message);
        }
        sendUp = function (message) { message.frame = 0; toHost(message); };

        function fromHost(command) {
            if (!command || typeof command !== 'object')
                return;
            const answer = function (result) { result.t = 'reply'; result.seq = command.seq; toHost(result); };
            if (command.doc !== topDocument) {
                answer({ ok: false });
                return;
            }
            if (command.frame === 0) {
                answer(perform(command));
                return;
            }
            const port = frames.get(command.frame);
            if (!port) {
                answer({ ok: false });
                return;
            }
            port.postMessage(command);
        }

        function isOurFrame(source) {
            for (let w = source; w && w !== window; w = w.parent) {
                if (w.parent === w)
                    return false;
            }
            return !!source && source !== window;
        }

        // A frame's bridge says hello with the page's secret and a port; it gets back, on that port
        // (which only it reads), the port it will use from now on (which only we read).
        window.addEventListener('message', function (event) {
            const data = event.data;
            if (!data || data.quib !== 'hello' || data.key !== frameKey || !event.ports || event.ports.length !== 1)
                return;
            event.stopImmediatePropagation();
            if (!isOurFrame(event.source))
                return;
            const id = nextFrame++;
            const previous = byWindow.get(event.source);
            if (previous !== undefined) {
                frames.get(previous).close();
                frames.delete(previous);
            }
            const channel = new MessageChannel();
            frames.set(id, channel.port1);
            byWindow.set(event.source, id);
            channel.port1.onmessage = function (e) {
                const message = e.data;
                if (!message || typeof message !== 'object')
                    return;
                message.frame = id;
                toHost(message);
            };
            event.ports[0].postMessage({ quib: 'bind', key: frameKey }, [channel.port2]);
            event.ports[0].close();
        }, true);

        // The host's requests arrive as calls of this function, run in this world of the top frame.
        Object.defineProperty(window, 'quibFromHost', { value: fromHost });

        new QWebChannel(qt.webChannelTransport, function (channel) {
            host = channel.objects.quibBridge;
            waiting.splice(0).forEach(toHost);
        });
    } else {
        const hello = new MessageChannel();
        const waiting = [];
        let up = null;
        sendUp = function (message) {
            if (up)
                up.postMessage(message);
            else
                waiting.push(message);
        };
        hello.port1.onmessage = function (event) {
            if (up || !event.data || event.data.quib !== 'bind' || event.data.key !== frameKey || event.ports.length !== 1)
                return;
            up = event.ports[0];
            hello.port1.close();
            up.onmessage = function (e) {
                const command = e.data;
                if (!command || typeof command !== 'object')
                    return;
                const result = perform(command);
                result.t = 'reply';
                result.seq = command.seq;
                up.postMessage(result);
            };
            waiting.splice(0).forEach(function (message) { up.postMessage(message); });
        };
        window.top.postMessage({ quib: 'hello', key: frameKey }, '*', [hello.port2]);
    }

})();
