// The pay rules: the desktop's own C++, compiled to WebAssembly. The module
// loads once; from then on every call answers at once.
import createRules from './soranika-rules.mjs';

let loaded = null;

// Resolves when the rules can be called.
export const ready = createRules().then((rules) => {
    loaded = rules;
    return rules;
});

// The rules, once `ready` has resolved.
export function Rules() {
    return loaded;
}
