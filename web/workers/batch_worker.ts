// SPDX-License-Identifier: GPL-3.0-or-later
// The batch scorer's Web Worker: the core scores the chosen CSV file here, away from the page's
// thread. The file is read a chunk at a time (FileReaderSync, as the core asks for more) and the
// results are gathered as Blob parts, so that neither the file nor its results need to fit in
// memory at once. The core scores on this one thread (WebAssembly without threads); the page
// ends the worker to cancel.
import type { BatchReport, BatchRequest } from "../src/batch_messages";
import { MAX_LISTED_NOTES } from "../src/batch_messages";
import { loadCore, type BatchInput } from "../src/core";

// Results are closed into a Blob at this size: the browser may keep a Blob on disk, not in memory.
const BLOB_PART_BYTES = 8 << 20;
const PROGRESS_INTERVAL_MS = 100;

const scope = self as unknown as DedicatedWorkerGlobalScope;
const core = loadCore();

function post(report: BatchReport): void {
  scope.postMessage(report);
}

// The file from its first byte, as the core reads it.
function fileInput(file: File): BatchInput {
  const reader = new FileReaderSync();
  let position = 0;
  return {
    read(view: Uint8Array): number {
      if (position >= file.size) return 0;
      try {
        const bytes = new Uint8Array(reader.readAsArrayBuffer(file.slice(position, position + view.length)));
        view.set(bytes);
        position += bytes.length;
        return bytes.length;
      } catch {
        return -1;
      }
    },
  };
}

class ResultParts {
  private readonly blobs: Blob[] = [];
  private pending: Uint8Array<ArrayBuffer>[] = [];
  private pendingBytes = 0;

  add(view: Uint8Array): void {
    this.pending.push(view.slice());
    this.pendingBytes += view.length;
    if (this.pendingBytes >= BLOB_PART_BYTES) this.close();
  }

  whole(): Blob {
    this.close();
    return new Blob(this.blobs, { type: "text/csv" });
  }

  private close(): void {
    if (this.pending.length > 0) this.blobs.push(new Blob(this.pending));
    this.pending = [];
    this.pendingBytes = 0;
  }
}

async function scoreFile({ file, options }: BatchRequest): Promise<void> {
  const scorer = await core;
  post({ kind: "counted", rows: scorer.countBatchRows(fileInput(file)) });
  const results = new ResultParts();
  const notes: string[] = [];
  let unlistedNotes = 0;
  let lastPost = 0;
  const outcome = scorer.scoreBatch(options, {
    ...fileInput(file),
    write: (view) => results.add(view),
    note(line, text) {
      if (notes.length < MAX_LISTED_NOTES) notes.push(`Line ${line}: ${text}`);
      else ++unlistedNotes;
    },
    progress(rowsWritten, rowsSkipped) {
      const now = performance.now();
      if (now - lastPost < PROGRESS_INTERVAL_MS) return;
      lastPost = now;
      post({ kind: "progress", rowsWritten, rowsSkipped });
    },
  });
  post({ kind: "finished", outcome, results: results.whole(), notes, unlistedNotes });
}

scope.onmessage = (event: MessageEvent<BatchRequest>) => {
  scoreFile(event.data).catch((error: unknown) => {
    const reason = error instanceof Error ? error.message : String(error);
    post({ kind: "finished", outcome: { error: reason }, results: new Blob([]), notes: [], unlistedNotes: 0 });
  });
};
