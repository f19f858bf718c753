// Calls into a worker of the page (worker.js), answered in the order they are made. A call made
// with an AbortSignal that fires ends the worker, and with it every call still waiting, which is
// how a newer keystroke stops a running estimate; the next call starts a fresh worker, which takes
// the WebAssembly module the first worker of the page compiled, so that it starts at once. A call
// may be given a function that is told the call's progress while it runs.

// What a view says when a call failed inside the worker (its memory ran out, or the module broke):
// the worker's own words, in English, go to the console for whoever looks into it.
export function failureText(error,
  said = '計算を続けられませんでした。数値を小さくするか、ページを読み込み直してください。') {
  console.error(error);
  return said;
}

export function isAbort(error) {
  return error instanceof DOMException && error.name === 'AbortError';
}

function aborted() {
  return new DOMException('superseded', 'AbortError');
}

export class WorkerBridge {
  #worker = null;
  static #module = null;  // the compiled WebAssembly.Module, shared by every worker
  #calls = new Map();  // id -> {resolve, reject}
  #next = 1;

  call(name, args = {}, signal = undefined, onProgress = undefined) {
    if (signal?.aborted) return Promise.reject(aborted());
    const worker = this.#start();
    const id = this.#next++;
    return new Promise((resolve, reject) => {
      const stop = () => this.stop();
      signal?.addEventListener('abort', stop, {once: true});
      const done = () => signal?.removeEventListener('abort', stop);
      this.#calls.set(id, {
        onProgress,
        resolve: (value) => { done(); resolve(value); },
        reject: (error) => { done(); reject(error); },
      });
      worker.postMessage({id, name, args});
    });
  }

  // Ends the worker; every call still waiting is rejected as aborted.
  stop() {
    this.#end(aborted());
  }

  #end(error) {
    if (!this.#worker) return;
    this.#worker.terminate();
    this.#worker = null;
    const calls = [...this.#calls.values()];
    this.#calls.clear();
    for (const call of calls) call.reject(error);
  }

  #start() {
    if (this.#worker) return this.#worker;
    const worker = new Worker(new URL('./worker.js', import.meta.url), {type: 'module'});
    worker.onmessage = ({data}) => {
      if (data.compiled) {
        WorkerBridge.#module = data.compiled;
        return;
      }
      const call = this.#calls.get(data.id);
      if (!call) return;
      if ('progress' in data) {
        call.onProgress?.(data.progress);
        return;
      }
      this.#calls.delete(data.id);
      if ('error' in data) {
        call.reject(new Error(data.error));
        // A module that failed cannot be trusted with the next call.
        if (data.broken) this.#end(new Error(data.error));
      } else {
        call.resolve(data.value);
      }
    };
    worker.onerror = (event) => {
      event.preventDefault();
      this.#end(new Error(event.message || 'worker failed'));
    };
    worker.postMessage({module: WorkerBridge.#module});
    this.#worker = worker;
    return worker;
  }
}
