// SPDX-License-Identifier: GPL-3.0-or-later
// The emscripten module built from web/core (orvale_web.mjs): its factory, which loads the
// WebAssembly beside it and resolves to the bound functions (typed in core.ts).
declare module "orvale-core" {
  const createOrvaleCore: () => Promise<unknown>;
  export default createOrvaleCore;
}
