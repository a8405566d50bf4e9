// SPDX-License-Identifier: GPL-3.0-or-later
// Profile Chart...: the core's SVG picture of the latest Compute's profile (the bytes
// orvale-score --format svg writes), shown inline in a modal window and saved as it is.
import { button, download, element, showModal } from "./dom";

const PICTURE_NAME = "profile.svg";

export class ChartWindow {
  private readonly dialog: HTMLDialogElement;
  private readonly picture: HTMLElement;
  private svg = "";

  constructor() {
    this.picture = element("div", { id: "chartProfile" });
    const save = button("cmdSaveImage", "Save Image...");
    const close = button("cmdCloseChart", "Close");
    save.addEventListener("click", () => download(PICTURE_NAME, this.svg, "image/svg+xml"));
    close.addEventListener("click", () => this.dialog.close());
    this.dialog = element(
      "dialog",
      { id: "frmProfileChart", "aria-labelledby": "chartCaption" },
      element("h2", { id: "chartCaption" }, "Profile Chart"),
      this.picture,
      element("div", { class: "dialogButtons" }, save, close),
    );
    document.body.append(this.dialog);
  }

  // Shows the picture: parsed as SVG (never as HTML) and put in the page as it is.
  show(svg: string): void {
    this.svg = svg;
    const parsed = new DOMParser().parseFromString(svg, "image/svg+xml").documentElement;
    this.picture.replaceChildren(document.importNode(parsed, true));
    showModal(this.dialog);
  }
}
