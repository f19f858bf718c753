// The page's worker: the WebAssembly module and the calls the page's views make of it, by name.
// A call runs to its end; a superseded one ends with the worker, which the page terminates.
let ready = null;  // the module's instance, once it is there
let failure = '';  // what the module last said went wrong

// The module's JavaScript and its compiled WebAssembly, fetched side by side.
function load(module) {
  const compiled = module
    ? Promise.resolve(module)
    : WebAssembly.compileStreaming(fetch(new URL('taviro.wasm', import.meta.url))).then((m) => {
        postMessage({compiled: m});
        return m;
      });
  return Promise.all([import('./taviro.js'), compiled]).then(([{default: createTaviro}, m]) => createTaviro({
    instantiateWasm(imports, done) {
      WebAssembly.instantiate(m, imports).then((instance) => done(instance, m));
      return {};
    },
    print() {},
    printErr(text) { failure = text; },
  }));
}

// A vector of embind as an array.
function array(vector) {
  const out = [];
  for (let i = 0; i < vector.size(); ++i) out.push(vector.get(i));
  vector.delete();
  return out;
}

// Every vector of an answer's fields (and their fields) as arrays, so that it can be posted.
function plain(value) {
  if (value && typeof value === 'object') {
    if (typeof value.size === 'function' && typeof value.get === 'function') return array(value).map(plain);
    for (const key of Object.keys(value)) value[key] = plain(value[key]);
  }
  return value;
}

const calls = {
  resultNames: (t) => array(t.resultNames()),
  simulatorDefaults: (t) => t.simulatorDefaults(),
  settingPreset: (t, {setting}) => t.settingPreset(setting),
  simulate: (t, {fields, seed, history}, tell) => plain(t.simulate(fields, seed, history, tell)),
  moneyAt: (t, {rate}) => t.moneyAt(rate),
  // The data file's blocks copied out of the module's memory as they come, and put together.
  dataFile(t, {setting}, tell) {
    const blocks = [];
    const answer = t.dataFile(setting, (view) => blocks.push(view.slice()), tell);
    if (answer.message) return answer;
    return {...answer, file: new Blob(blocks, {type: 'text/csv'})};
  },
  runSessions: (t, {fields, width}, tell) => plain(t.runSessions(fields, width, tell)),
  estimateNotes: (t) => t.estimateNotes(),
  readEstimateFields: (t, {texts, lastEdited}) => t.readEstimateFields(texts, lastEdited ?? ''),
  readEachEstimateField: (t, {texts}) => array(t.readEachEstimateField(texts)),
  estimateFields: (t, {texts, width}) => t.estimateFields(texts, width),
  // Light runs of `games` games, one after another for at least `least` milliseconds: the
  // fastest one's games per second.
  timeLightRun(t, {games, least}) {
    let best = 0;
    let runs = 0;
    const start = performance.now();
    do {
      const begin = performance.now();
      t.playLightRun(games, 1 + runs);
      best = Math.max(best, games / ((performance.now() - begin) / 1000));
      ++runs;
    } while (performance.now() - start < least);
    return {gamesPerSecond: best, runs};
  },
};

onmessage = async ({data}) => {
  if ('module' in data) {
    ready = load(data.module);
    return;
  }
  const {id, name, args} = data;
  try {
    const taviro = await ready;
    const tell = (progress) => postMessage({id, progress});
    postMessage({id, value: calls[name](taviro, args, tell)});
  } catch (error) {
    postMessage({id, error: failure || String(error?.message ?? error), broken: true});
  }
};
