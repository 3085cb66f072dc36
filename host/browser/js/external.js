// The one thing page scripts get from the host: window.external.WebInvoke, which hands its
// arguments, as text, to the bridge of this frame and returns null.
(function () {
    'use strict';
    const target = document;
    const dispatch = EventTarget.prototype.dispatchEvent;
    const stringify = JSON.stringify;
    const external = window.external || {};
    external.WebInvoke = function () {
        const texts = [];
        for (let i = 0; i < arguments.length; ++i) {
            const value = arguments[i];
            texts.push(value === null || value === undefined ? '' : String(value));
        }
        dispatch.call(target, new CustomEvent('quib-webinvoke', { detail: stringify(texts) }));
        return null;
    };
    try { Object.defineProperty(window, 'external', { value: external, configurable: true }); } catch (e) { }
})();
