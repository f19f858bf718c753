// A long call's progress box: hidden until the call has run long enough for the windows' progress
// dialog to appear, then its heading, bar, share, pace and time left as the worker reports them.
export class ProgressBox {
  #box;
  #parts;

  // `prefix`: the ids' start (`run` for #run-progress, #run-heading, ...).
  constructor(prefix) {
    const $ = (id) => document.getElementById(`${prefix}-${id}`);
    this.#box = $('progress');
    this.#parts = {heading: $('heading'), bar: $('bar'), share: $('share'), pace: $('pace'), left: $('left'),
      cancel: $('cancel')};
  }

  get cancel() {
    return this.#parts.cancel;
  }

  // A report of the worker's: {percent, heading, share, pace, timeLeft, due}.
  show(report, cancellable = true) {
    if (!report.due) return;
    const p = this.#parts;
    p.heading.textContent = report.heading;
    p.bar.value = report.percent;
    p.share.textContent = report.share;
    p.pace.textContent = report.pace;
    p.left.textContent = report.timeLeft;
    p.cancel.hidden = !cancellable;
    this.#box.hidden = false;
  }

  hide() {
    this.#box.hidden = true;
  }
}
