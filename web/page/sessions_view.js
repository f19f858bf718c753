// The six settings side by side: taviro-stats' sessions for the fields' sessions, games, rate and
// seed, played in a worker of their own (loaded ahead) with progress and a cancel; the command's
// table and its picture. The fields live in the address.
import {WorkerBridge, failureText, isAbort} from './worker_bridge.js';
import {ProgressBox} from './progress.js';

const FIELDS = ['sessions', 'games', 'rate', 'seed'];

export class SessionsView {
  #section;
  #form;
  #el = {};
  #running = null;
  #spare = null;  // the next run's worker, loaded ahead
  #progress = new ProgressBox('sessions');

  constructor(section) {
    this.#section = section;
    this.#form = section.querySelector('#sessions-fields');
    for (const element of section.querySelectorAll('[id]')) this.#el[element.id] = element;
  }

  start(query) {
    for (const name of FIELDS) {
      if (query.has(name)) this.#form.elements[name].value = query.get(name);
    }
    this.#form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.#run();
    });
    this.#form.addEventListener('input', () => history.replaceState(null, '', `?${this.query()}`));
    this.#progress.cancel.addEventListener('click', () => this.#running?.stop());
    this.#loadSpare();
    this.#section.dataset.ready = '1';
  }

  #loadSpare() {
    this.#spare = new WorkerBridge();
    this.#spare.call('resultNames').catch(() => {});
  }

  query() {
    const q = new URLSearchParams({view: 'sessions'});
    for (const name of FIELDS) {
      const value = this.#form.elements[name].value;
      if (value !== '') q.set(name, value);
    }
    return q.toString();
  }

  #say(message) {
    this.#el['sessions-message'].textContent = message;
    this.#el['sessions-message'].hidden = message === '';
  }

  async #run() {
    if (this.#running) return;
    const bridge = this.#spare;
    this.#running = bridge;
    this.#el['sessions-run'].disabled = true;
    this.#say('');
    const fields = Object.fromEntries(FIELDS.map((name) => [name, this.#form.elements[name].value]));
    try {
      const answer = await bridge.call('runSessions', {fields, width: this.#section.clientWidth},
        undefined, (report) => this.#progress.show({...report, due: true}));  // as the command's line
      if (answer.message) this.#say(answer.message);
      else this.#show(answer);
    } catch (error) {
      if (!isAbort(error)) this.#say(failureText(error));
    } finally {
      bridge.stop();
      this.#loadSpare();
      this.#running = null;
      this.#progress.hide();
      this.#el['sessions-run'].disabled = false;
    }
  }

  #show({table, svg}) {
    this.#el['sessions-lines'].textContent = table.lines.join('\n');
    const t = this.#el['sessions-table'];
    t.replaceChildren();
    const head = t.createTHead().insertRow();
    const corner = document.createElement('td');
    head.append(corner);
    for (const column of table.columns) {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = column;
      head.append(th);
    }
    const body = t.createTBody();
    for (const row of table.rows) {
      const tr = body.insertRow();
      tr.dataset.key = row.key;
      const th = document.createElement('th');
      th.scope = 'row';
      th.textContent = row.heading;
      tr.append(th);
      for (const cell of row.cells) tr.insertCell().textContent = cell;
    }
    const chart = this.#el['sessions-chart'];
    chart.innerHTML = svg;  // the module's own SVG, its texts escaped
    chart.setAttribute('aria-label', table.lines.join(' '));
    this.#el['sessions-answer'].hidden = false;
    this.#section.dataset.runs = String(Number(this.#section.dataset.runs ?? 0) + 1);
  }
}
