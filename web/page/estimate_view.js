// The setting estimate's view: the counts on one side, the answer on the other, as the estimate
// window shows them. Every text it shows of an answer, and every reason, comes from the worker
// (the window's own window-free code); the view only puts texts into elements. A keystroke reads
// the fields at once; a short pause after the last one the estimate starts, and a newer keystroke
// ends the worker that runs it.
import {failureText, isAbort} from './worker_bridge.js';
import * as fields from './estimate_fields.js';

const PAUSE_MS = 150;
// The answer's texts by the ids of the elements that show them.
const FIGURES = ['basis', 'rough', 'fiveOrSix', 'atLeast4', 'expectedSetting', 'big', 'reg', 'payout',
  'projectionTitle', 'mean', 'ahead', 'p5', 'p50', 'p95', 'knownMedian', 'knownRange'];
const REASON_FIELDS = ['games', 'bigs', 'regs', 'hbigs', 'arGames', 'prior', 'remaining', 'rate'];
// Where style.css puts the two charts side by side.
const TWO_CHARTS = '(min-width: 600px)';
const CHART_GAP = 8;

// A count stepped by the +1 and -1 buttons; nothing when the field holds no plain count (its
// reason says why).
function stepped(text, by) {
  const plain = text.trim().replace(/[０-９]/g, (d) => String.fromCharCode(d.charCodeAt(0) - 0xfee0));
  if (plain === '') return String(Math.max(0, by));
  if (!/^[0-9]+$/.test(plain)) return null;
  return String(Math.max(0, Number(plain) + by));
}

// An SVG document of the worker as an element of this page; nothing when it is not one.
function svgElement(text) {
  const svg = new DOMParser().parseFromString(text, 'image/svg+xml').documentElement;
  return svg.namespaceURI === 'http://www.w3.org/2000/svg' && svg.localName === 'svg'
    ? document.importNode(svg, true) : null;
}

export class EstimateView {
  #bridge;
  #form;
  #element = {};  // by id
  #notes = null;  // the fixed texts of the estimate
  #shown = null;  // {command, width, copied} of the answer on the page
  #lastEdited = '';
  #tilesInSight = false;
  #generation = 0;
  #controller = null;
  #pause = 0;

  constructor(section, bridge) {
    this.#bridge = bridge;
    this.#form = section.querySelector('#estimate-fields');
    for (const element of section.querySelectorAll('[id]')) this.#element[element.id] = element;
  }

  // Fills the fields from the link in `query`, or else from the storage, at once; once the worker
  // is there, empties the link's fields that cannot be read, and estimates. What is typed
  // meanwhile stays.
  async start(query) {
    const linked = fields.textsOfLink(query);
    fields.writeForm(this.#form, linked ?? fields.load() ?? fields.emptyTexts());
    try {
      this.#notes = await this.#bridge.call('estimateNotes');
    } catch (error) {
      this.#status(failureText(error, '計算の準備ができませんでした。ページを読み込み直してください。'));
      return;
    }
    performance.mark('taviro-ready');
    this.#element.seed.textContent = this.#notes.seed;
    this.#element['seed-explanation'].textContent = this.#notes.seedExplanation;
    if (linked) await this.#readLink(linked);
    this.#wire();
    this.#edited('', 0);
  }

  // The address's query that brings the fields back (the prior's commas left as they are).
  query() {
    return fields.linkQuery(fields.readForm(this.#form)).toString().replace(/%2C/g, ',');
  }

  #wire() {
    this.#form.addEventListener('submit', (event) => event.preventDefault());
    this.#form.addEventListener('input', (event) => {
      const target = event.target;
      if (target.name === 'prior') return;  // its change event follows
      this.#edited(target.name === 'weight' ? 'prior' : target.name);
    });
    this.#form.elements.prior.addEventListener('change', () => {
      const typed = this.#form.elements.prior.value === 'weights';
      for (const weight of this.#form.querySelectorAll('input[name="weight"]')) {
        weight.disabled = !typed;
        if (typed && weight.value === '') weight.value = '1';
      }
      this.#element.weights.hidden = !typed;
      this.#edited('prior');
    });
    for (const button of this.#form.querySelectorAll('button[data-step]')) {
      button.addEventListener('click', () => {
        const field = this.#form.elements[button.dataset.step];
        const text = stepped(field.value, Number(button.dataset.by));
        if (text === null) return;
        field.value = text;
        this.#edited(field.name);
      });
    }
    this.#element.copy.addEventListener('click', () => this.#copy());
    new IntersectionObserver(([entry]) => {
      this.#tilesInSight = entry.isIntersecting;
      this.#placeSummary();
    }).observe(this.#element.answer.querySelector('.tiles'));
    new ResizeObserver(() => {
      if (this.#shown && this.#redrawn(this.#chartWidth())) this.#edited('', 0);
    }).observe(this.#element.answer.parentElement);
  }

  // Each field of the link whose text cannot be read is emptied, unless typed over, and told.
  async #readLink(texts) {
    let readings;
    try {
      readings = await this.#bridge.call('readEachEstimateField', {texts});
    } catch {
      return;  // the estimate says what is wrong
    }
    const unread = readings.filter((reading) => reading.reason !== '');
    if (unread.length === 0) return;
    const note = this.#element['link-note'];
    note.replaceChildren('リンクの次の値は読めなかったので、空けてあります:');
    const list = document.createElement('ul');
    let form = fields.readForm(this.#form);
    for (const {field, reason} of unread) {
      const item = document.createElement('li');
      const text = fields.linkText(texts, field);
      item.textContent = `${fields.fieldLabel(this.#form, field)}「${text}」: ${reason}`;
      list.append(item);
      if (fields.linkText(form, field) === text) form = fields.cleared(form, field);
    }
    fields.writeForm(this.#form, form);
    note.append(list);
    note.hidden = false;
  }

  // A field edited (none: the page opened, or its width changed); the estimate starts after `pause`
  // milliseconds without another edit.
  #edited(field, pause = PAUSE_MS) {
    if (field) this.#lastEdited = field;
    const texts = fields.readForm(this.#form);
    fields.save(texts);
    const query = this.query();
    history.replaceState(history.state, '', query ? `?${query}` : location.pathname);
    this.#update(texts, pause);
  }

  async #update(texts, pause) {
    const generation = ++this.#generation;
    clearTimeout(this.#pause);
    this.#controller?.abort();
    const controller = this.#controller = new AbortController();
    let reading;
    try {
      reading = await this.#bridge.call(
        'readEstimateFields', {texts, lastEdited: this.#lastEdited}, controller.signal);
    } catch (error) {
      if (!isAbort(error)) this.#failed(error);
      return;
    }
    if (generation !== this.#generation) return;
    this.#reason(reading.field, reading.reason);
    if (reading.reason || !reading.command) {
      this.#grey(true);
      this.#status(reading.reason ? (this.#shown ? this.#notes.greyed : '') : this.#notes.incomplete);
      return;
    }
    const width = this.#chartWidth();
    if (this.#shown?.command === reading.command && !this.#redrawn(width)) {
      this.#grey(false);
      this.#status('');
      return;
    }
    this.#grey(true);
    this.#status(this.#notes.computing);
    this.#pause = setTimeout(async () => {
      let answer;
      performance.mark('taviro-estimating');
      try {
        answer = await this.#bridge.call('estimateFields', {texts, width}, controller.signal);
      } catch (error) {
        if (!isAbort(error)) this.#failed(error);
        return;
      }
      if (generation !== this.#generation) return;
      if (answer.failure) {
        this.#reason(this.#lastEdited || 'games', answer.failure);
        this.#status(this.#shown ? this.#notes.greyed : '');
        return;
      }
      this.#show(answer, reading.command, width);
    }, pause);
  }

  #show(answer, command, width) {
    const texts = answer.texts;
    for (const id of FIGURES) this.#element[id].textContent = texts[id];
    for (const copy of this.#element.summary.querySelectorAll('[data-figure]')) {
      copy.textContent = texts[copy.dataset.figure];
    }
    this.#placeSummary();
    const projected = answer.projectionSvg !== '';
    const charts = [
      [this.#element['posterior-chart'], answer.posteriorSvg, texts.posteriorDescription],
      [this.#element['projection-chart'], answer.projectionSvg, texts.fanDescription]];
    for (const [figure, svg, description] of charts) {
      const element = svg ? svgElement(svg) : null;
      figure.replaceChildren(...(element ? [element] : []));
      figure.setAttribute('aria-label', description);
      figure.hidden = !element;
    }
    this.#element.money.hidden = !projected;
    this.#element.answer.hidden = false;
    this.#element['copy-note'].textContent = '';
    this.#shown = {command, width, copied: answer.copied};
    this.#placeSummary();
    this.#grey(false);
    this.#status('');
    performance.mark('taviro-answer');
  }

  // The worker ended without an answer: the reason beside the field last edited.
  #failed(error) {
    this.#reason(this.#lastEdited || 'games', failureText(error));
    this.#grey(true);
    this.#status(this.#shown ? this.#notes?.greyed ?? '' : '');
  }

  #reason(field, reason) {
    for (const name of REASON_FIELDS) {
      const here = name === field && reason !== '';
      const label = this.#element[`${name}-reason`];
      label.textContent = here ? reason : '';
      label.hidden = !here;
      const input = this.#element[name];
      if (here) input.setAttribute('aria-invalid', 'true');
      else input.removeAttribute('aria-invalid');
    }
  }

  // The summary at the foot of a phone's screen, while there is an answer and its own figures are
  // out of sight.
  #placeSummary() {
    this.#element.summary.hidden = this.#shown === null || this.#tilesInSight;
  }

  #grey(greyed) {
    for (const element of [this.#element.answer, this.#element.summary]) {
      element.classList.toggle('stale', greyed && this.#shown !== null);
    }
  }

  #status(text) {
    this.#element.status.textContent = text;
  }

  // The width each chart will have, in CSS pixels.
  #chartWidth() {
    const width = this.#element.answer.parentElement.clientWidth;
    return Math.round(matchMedia(TWO_CHARTS).matches ? (width - CHART_GAP) / 2 : width);
  }

  #redrawn(width) {
    return Math.abs(width - this.#shown.width) > this.#shown.width * 0.15;
  }

  async #copy() {
    const note = this.#element['copy-note'];
    try {
      await navigator.clipboard.writeText(this.#shown.copied);
      note.textContent = 'コピーしました';
    } catch {
      note.textContent = 'コピーできませんでした';
    }
  }
}
