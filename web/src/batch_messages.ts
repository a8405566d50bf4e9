// SPDX-License-Identifier: GPL-3.0-or-later
// What the page and the batch worker say to each other: the page sends the file and the options
// once; the worker reports the rows it counted, its progress, and at the end the outcome with the
// results and the skipped rows ("Line N: ...", the first MAX_LISTED_NOTES of them).
import type { BatchOutcome, ScoringOptions } from "./core";

export const MAX_LISTED_NOTES = 10_000;

export interface BatchRequest {
  file: File;
  options: ScoringOptions;
}

export type BatchReport =
  | { kind: "counted"; rows: number } // -1 when they could not be counted
  | { kind: "progress"; rowsWritten: number; rowsSkipped: number }
  | {
      kind: "finished";
      outcome: BatchOutcome | { error: string };
      results: Blob;
      notes: string[];
      unlistedNotes: number;
    };
