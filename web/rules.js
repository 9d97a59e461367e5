// The pay rules: the desktop's own C++, compiled to WebAssembly. The module
// loads beside the page, which starts without it; once loaded, every call
// answers at once.
let loaded = null;

// Resolves when the rules can be called; rejects when they cannot be loaded.
export const ready = import('./soranika-rules.mjs')
    .then((module) => module.default())
    .then((rules) => {
        loaded = rules;
        return rules;
    });

// The rules, once `ready` has resolved.
export function Rules() {
    return loaded;
}
