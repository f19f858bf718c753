// The simulator: the main window's fields, its start command and 21 results, and the slump graph
// window's curve, money summary and data file. Every run plays in a worker of its own with its
// progress; the worker of the last completed run stays to draw, price and write that run, so that
// a cancelled run ends its own worker and leaves the last results as they were. A worker without
// a run waits ready, so that a run starts at once. The fields and a fixed seed live in the address.
import {WorkerBridge, failureText, isAbort} from './worker_bridge.js';
import {ProgressBox} from './progress.js';

// The address's keys of the fields.
const KEYS = {Combo1: 'setting', TexGAME: 'games', TexBIG: 'big', TexREG: 'reg', TexNBIG: 'nbig',
  TexHBIG: 'hbig', TexREGOUT: 'regout', TexN_BASE: 'nbase', TexAR_BASE: 'arbase', TexKankin: 'rate'};
const PARAMETERS = ['TexBIG', 'TexREG', 'TexGAME', 'TexN_BASE', 'TexAR_BASE', 'TexNBIG', 'TexHBIG', 'TexREGOUT'];

export class SimulatorView {
  #section;
  #form;
  #el = {};
  #defaults = null;  // the fields' texts at start-up
  #names = [];  // the result fields in the order of the results
  #seed = '';  // the address's seed: every run starts from it
  #helper = null;  // a worker without a run, ready for presets and for the next run
  #holder = null;  // the worker of the last completed run with history
  #running = null;  // the worker of the run under way
  #graphs = null;  // the last run's two pictures
  #progress = new ProgressBox('run');

  constructor(section) {
    this.#section = section;
    this.#form = section.querySelector('#simulator-fields');
    for (const element of section.querySelectorAll('[id]')) this.#el[element.id] = element;
  }

  async start(query) {
    try {
      [this.#defaults, this.#names] = await Promise.all([
        this.#ready().call('simulatorDefaults'), this.#ready().call('resultNames')]);
    } catch (error) {
      this.#say(failureText(error));
      return;
    }
    const d = this.#defaults;
    const start = {Combo1: d.Combo1, TexKankin: d.TexKankin, ...d.parameters};
    for (const [id, key] of Object.entries(KEYS)) {
      this.#el[id].value = query.get(key) ?? start[id];
    }
    this.#el.history.checked = query.get('history') !== '0';
    this.#seed = query.get('seed') ?? '';
    this.#wire();
    this.#section.dataset.ready = '1';
  }

  query() {
    const q = new URLSearchParams({view: 'simulator'});
    const d = this.#defaults;
    if (!d) return q.toString();  // the fields never came
    const start = {Combo1: d.Combo1, TexKankin: d.TexKankin, ...d.parameters};
    for (const [id, key] of Object.entries(KEYS)) {
      if (this.#el[id].value !== start[id]) q.set(key, this.#el[id].value);
    }
    if (!this.#el.history.checked) q.set('history', '0');
    if (this.#seed) q.set('seed', this.#seed);
    return q.toString();
  }

  #wire() {
    this.#form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.#run();
    });
    this.#form.addEventListener('input', (event) => {
      if (event.target.id === 'Combo1') this.#preset();
      this.#remember();
    });
    this.#el.history.addEventListener('change', () => this.#remember());
    this.#el.TexKankin.addEventListener('input', () => {
      this.#remember();
      this.#price();
    });
    this.#progress.cancel.addEventListener('click', () => this.#running?.stop());
    for (const radio of this.#section.querySelectorAll('input[name="scale"]')) {
      radio.addEventListener('change', () => this.#drawGraph());
    }
    this.#el.Command1.addEventListener('click', () => this.#dataFile());
  }

  #ready() {
    this.#helper ??= new WorkerBridge();
    return this.#helper;
  }

  #remember() {
    history.replaceState(null, '', `?${this.query()}`);
  }

  // The setting's preset into the two probability fields, as the desktop fills them.
  async #preset() {
    const setting = this.#el.Combo1.value;
    const preset = await this.#ready().call('settingPreset', {setting});
    if (preset.found && this.#el.Combo1.value === setting) {
      this.#el.TexBIG.value = preset.big;
      this.#el.TexREG.value = preset.reg;
      this.#remember();
    }
  }

  #fields() {
    const parameters = {};
    for (const id of PARAMETERS) parameters[id] = this.#el[id].value;
    return {Combo1: this.#el.Combo1.value, TexKankin: this.#el.TexKankin.value, parameters};
  }

  // A message stands below the fields: on a phone it is brought into view, or the start would
  // seem to do nothing.
  #say(message) {
    const shown = this.#el['run-message'];
    shown.textContent = message;
    shown.hidden = message === '';
    if (message) shown.scrollIntoView({block: 'nearest'});
  }

  async #run() {
    if (this.#running) return;
    const bridge = this.#ready();
    this.#helper = null;
    this.#running = bridge;
    this.#el.ComStart.disabled = true;
    this.#say('');
    const history = this.#el.history.checked;
    try {
      const answer = await bridge.call('simulate', {fields: this.#fields(), seed: this.#seed, history},
        undefined, (report) => this.#progress.show(report));
      if (answer.message) {
        bridge.stop();
        this.#say(answer.message);
        return;
      }
      this.#holder?.stop();
      this.#holder = history ? bridge : null;
      if (!history) bridge.stop();
      this.#show(answer);
    } catch (error) {
      if (!isAbort(error)) this.#say(failureText(error));
    } finally {
      this.#running = null;
      this.#progress.hide();
      this.#el.ComStart.disabled = false;
      this.#ready().call('resultNames').catch(() => {});  // loaded now rather than at the next start
    }
  }

  #show(answer) {
    answer.results.forEach((text, i) => { this.#el[this.#names[i]].textContent = text; });
    this.#el['run-seed'].textContent = answer.seedNote;
    this.#section.dataset.runs = String(Number(this.#section.dataset.runs ?? 0) + 1);
    this.#el['graph-side'].hidden = !answer.history;
    this.#graphs = answer.history ? {designed: answer.designed, fitted: answer.fitted} : null;
    if (answer.history) {
      this.#money(answer.money);
      this.#drawGraph();
    }
  }

  #money(money) {
    this.#el.LabMin.textContent = money.investment;
    this.#el.LabOUT.textContent = money.finalCoins;
    if (money.hasNet) this.#el.LabPlus.textContent = money.netResult;
  }

  async #price() {
    if (!this.#holder) return;
    try {
      this.#money(await this.#holder.call('moneyAt', {rate: this.#el.TexKankin.value}));
    } catch (error) {
      if (!isAbort(error)) this.#say(failureText(error));
    }
  }

  #drawGraph() {
    if (!this.#graphs) return;
    const scale = this.#section.querySelector('input[name="scale"]:checked').value;
    const graph = this.#graphs[scale];
    const figure = this.#el['slump-chart'];
    figure.innerHTML = graph.svg;  // the module's own SVG, its texts escaped
    figure.setAttribute('aria-label', graph.description);
    figure.dataset.scale = scale;
  }

  async #dataFile() {
    const note = this.#el['file-note'];
    if (!this.#holder) return;
    this.#el.Command1.disabled = true;
    note.textContent = '';
    try {
      const answer = await this.#holder.call('dataFile', {setting: this.#el.Combo1.value}, undefined,
        (report) => this.#progress.show(report, false));
      if (answer.message) {
        this.#say(answer.message);
        return;
      }
      const link = document.createElement('a');
      link.href = URL.createObjectURL(answer.file);
      link.download = answer.name;
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
      note.textContent = answer.saved;
    } catch (error) {
      if (!isAbort(error)) this.#say(failureText(error));
    } finally {
      this.#progress.hide();
      this.#el.Command1.disabled = false;
    }
  }
}
