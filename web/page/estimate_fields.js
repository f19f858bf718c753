// The estimate's fields as texts: read from and written to the form, kept in the browser's
// storage, and carried in the page's address, so that a reload, a closed tab or a shared link
// brings them back. Texts stay texts: they go into fields' values and text nodes, never markup.

const STORAGE_KEY = 'taviro.estimate.fields';
const SETTINGS = 6;
// The fields with one text each, by their elements' ids, and their keys in a link (those of
// taviro-stats estimate's options).
const TEXT_FIELDS = {
  games: 'games', bigs: 'big', regs: 'reg', hbigs: 'hbig', arGames: 'ar-games',
  remaining: 'remaining', rate: 'rate',
};
const PRIOR_KEY = 'prior';

export function emptyTexts() {
  return {
    games: '', bigs: '', regs: '', hbigs: '', arGames: '',
    typedPrior: false, weights: Array(SETTINGS).fill('1'), remaining: '', rate: '5',
  };
}

// What a field's label says, for a message about it.
export function fieldLabel(form, field) {
  if (field === 'prior') return form.querySelector('label[for="prior"]').textContent;
  return form.querySelector(`label[for="${field}"]`).textContent;
}

export function readForm(form) {
  const texts = emptyTexts();
  for (const field of Object.keys(TEXT_FIELDS)) texts[field] = form.elements[field].value;
  texts.typedPrior = form.elements.prior.value === 'weights';
  texts.weights = [...form.querySelectorAll('input[name="weight"]')].map((input) => input.value);
  return texts;
}

export function writeForm(form, texts) {
  for (const field of Object.keys(TEXT_FIELDS)) form.elements[field].value = texts[field];
  form.elements.prior.value = texts.typedPrior ? 'weights' : 'equal';
  form.querySelectorAll('input[name="weight"]').forEach((input, s) => {
    input.value = texts.weights[s];
    input.disabled = !texts.typedPrior;
  });
  form.querySelector('#weights').hidden = !texts.typedPrior;
}

// The texts as a link's query: only what differs from an empty form.
export function linkQuery(texts) {
  const empty = emptyTexts();
  const query = new URLSearchParams();
  for (const [field, key] of Object.entries(TEXT_FIELDS)) {
    if (texts[field] !== empty[field]) query.set(key, texts[field]);
  }
  if (texts.typedPrior) query.set(PRIOR_KEY, texts.weights.join(','));
  return query;
}

// The texts a link's query carries over an empty form; nothing when it carries none.
export function textsOfLink(query) {
  const texts = emptyTexts();
  let carried = false;
  for (const [field, key] of Object.entries(TEXT_FIELDS)) {
    if (!query.has(key)) continue;
    texts[field] = query.get(key);
    carried = true;
  }
  if (query.has(PRIOR_KEY)) {
    const weights = query.get(PRIOR_KEY).split(',');
    texts.typedPrior = true;
    texts.weights = Array.from({length: SETTINGS}, (_, s) => weights[s] ?? '');
    carried = true;
  }
  return carried ? texts : null;
}

// The field's text put back to an empty form's.
export function cleared(texts, field) {
  const empty = emptyTexts();
  if (field === 'prior') return {...texts, typedPrior: false, weights: empty.weights};
  return {...texts, [field]: empty[field]};
}

// The field's text as the link gave it, for a message.
export function linkText(texts, field) {
  return field === 'prior' ? texts.weights.join(',') : texts[field];
}

export function save(texts) {
  try {
    localStorage.setItem(STORAGE_KEY, JSON.stringify(texts));
  } catch {
    // Storage full or switched off: the page works on without it.
  }
}

// The texts saved last, each still a text of the right kind; nothing when there are none.
export function load() {
  let saved = null;
  try {
    saved = JSON.parse(localStorage.getItem(STORAGE_KEY));
  } catch {
    return null;
  }
  if (saved === null || typeof saved !== 'object') return null;
  const texts = emptyTexts();
  for (const field of Object.keys(TEXT_FIELDS)) {
    if (typeof saved[field] === 'string') texts[field] = saved[field];
  }
  texts.typedPrior = saved.typedPrior === true;
  if (Array.isArray(saved.weights)) {
    texts.weights = texts.weights.map((w, s) =>
      typeof saved.weights[s] === 'string' ? saved.weights[s] : w);
  }
  return texts;
}
