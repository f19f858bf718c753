// The web page in the system's headless Chromium, one browser for every case: its figures against
// taviro-stats' JSON, typing, the counter buttons, storage and links, offline, markup in links,
// accessibility and a phone's width. Environment: TAVIRO_SITE (the built site), TAVIRO_STATS (the
// native taviro-stats).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, test} from 'node:test';
import {chromium} from 'playwright-core';
import {serveSite} from '../../scripts/serve_site.mjs';

const site = process.env.TAVIRO_SITE;
const stats = process.env.TAVIRO_STATS;
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
let server, origin, context, profile;
const said = [];  // what any page or worker wrote to the console as an error or a warning
const foreign = [];  // requests to anywhere but the page's own origin

before(async () => {
  server = await serveSite(site);
  origin = `http://127.0.0.1:${server.address().port}/`;
  profile = mkdtempSync(join(tmpdir(), 'taviro-page-test-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: {width: 360, height: 640},
    permissions: ['clipboard-read', 'clipboard-write'],
  });
  context.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warning') said.push(m.text());
  });
  context.on('weberror', (e) => said.push(String(e.error())));
  context.on('request', (r) => {
    if (!r.url().startsWith(origin)) foreign.push(r.url());
  });
});

after(async () => {
  await context?.close();
  server?.close();
  rmSync(profile, {recursive: true, force: true});
});

async function open(query = '') {
  const page = await context.newPage();
  await page.goto(origin + query);
  return page;
}

const text = (page, id) => page.$eval(`#${id}`, (e) => e.textContent);

// The page with `saved` (nothing: none) in its storage, put there before the page's script runs
// (and, saving its fields, could put them over it).
async function openWithStorage(saved) {
  const page = await context.newPage();
  await page.addInitScript((fields) => {
    localStorage.clear();
    if (fields) localStorage.setItem('taviro.estimate.fields', JSON.stringify(fields));
  }, saved);
  await page.goto(origin);
  return page;
}

// Waits until the answer shown is the current one for `basis` (and `projection`, its title).
async function answered(page, basis, projection = null) {
  await page.waitForFunction(([b, p]) => {
    const answer = document.querySelector('#answer');
    return !answer.hidden && !answer.classList.contains('stale') &&
      document.querySelector('#status').textContent === '' &&
      document.querySelector('#basis').textContent === b &&
      (p === null || document.querySelector('#projectionTitle').textContent === p);
  }, [basis, projection], {timeout: 120000});
}

async function type(page, fields) {
  for (const [id, value] of Object.entries(fields)) {
    if (id === 'weights') {
      await page.selectOption('#prior', 'weights');
      const inputs = await page.$$('input[name="weight"]');
      for (const [s, w] of value.entries()) await inputs[s].fill(w);
    } else {
      await page.fill(`#${id}`, value);
    }
  }
}

// Each number a text shows (after "1/" and "95%区間") lies within half its last place of the
// figure of the JSON; null stands for the horizon of 100000 games.
function assertFigures(shown, figures, name) {
  const numbers = shown.replace(/95%区間|1\//g, ' ').match(/[-+]?[0-9]+(\.[0-9]+)?/g) ?? [];
  assert.equal(numbers.length, figures.length, `${name}: ${shown}`);
  numbers.forEach((number, i) => {
    const places = number.split('.')[1]?.length ?? 0;
    const figure = figures[i] ?? 100000;
    assert.ok(Math.abs(Number(number) - figure) <= 0.5 * 10 ** -places + 1e-9,
      `${name}: ${shown} against ${figure}`);
  });
}

// The page's copied text holds the command; run it, and hold every figure shown to its JSON.
async function assertSameAsCommand(page) {
  await page.click('#copy');
  await page.waitForFunction(() => document.querySelector('#copy-note').textContent !== '');
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  const command = copied.match(/^ {2}taviro-stats estimate (.*)$/m)[1].split(' ');
  assert.ok(command.includes('20261206'), command.join(' '));
  const report = execFileSync(stats, ['estimate', ...command], {encoding: 'utf8'});
  assert.ok(copied.startsWith(report), 'the copied text is the command\'s report');
  const json = JSON.parse(execFileSync(stats, ['estimate', ...command, '--format', 'json']));
  const percent = (share) => share * 100;
  const expected = {
    fiveOrSix: [percent(json.p_setting_5_or_6)],
    atLeast4: [percent(json.p_setting_4_or_higher)],
    expectedSetting: [json.expected_setting],
    big: [json.big_one_in, json.big_one_in_ci95_high, json.big_one_in_ci95_low],
    reg: [json.reg_one_in, json.reg_one_in_ci95_high, json.reg_one_in_ci95_low],
    payout: [json.payout_percent],
    knownMedian: [json.games_until_known_median],
    knownRange: [json.games_until_known_p10, json.games_until_known_p90],
  };
  if (json.net_kyen_mean !== undefined) {
    Object.assign(expected, {
      ahead: [percent(json.net_kyen_ahead_share)], mean: [json.net_kyen_mean],
      p5: [json.net_kyen_p5], p50: [json.net_kyen_p50], p95: [json.net_kyen_p95]});
  }
  for (const [id, figures] of Object.entries(expected)) {
    assertFigures(await text(page, id), figures, id);
  }
  // The chart's bars, as a screen reader hears them.
  const bars = await page.$eval('#posterior-chart', (e) => e.getAttribute('aria-label'));
  assertFigures(bars.replace(/設定[1-6]/g, ''), json.posterior.map(percent), 'posterior');
  assert.equal(await page.$$eval('#posterior-chart svg text', (t) => t.length > 10), true);
  assert.equal(await page.$eval('#money', (e) => e.hidden), json.net_kyen_mean === undefined);
}

test('every figure shown is the command\'s, for three sets of counts', async () => {
  const page = await open();
  const cases = [
    [{games: '3000', bigs: '12', regs: '8', remaining: '2000'},
      '3000ゲーム　ＢＩＧ 12回　ＲＥＧ 8回の推定', 'この先 2000ゲームの収支（換金率 5枚/100円）'],
    [{games: '２０００', bigs: '9', regs: '6', hbigs: '1', arGames: '400',
      weights: ['1', '1', '1', '1', '2', '2.5'], remaining: '300', rate: '5.6'},
    '2000ゲーム　ＢＩＧ 9回　ＲＥＧ 6回（うちハイパー 1回）　ＡＲ 400ゲーム　事前の重み 1:1:1:1:2:2.5の推定',
    'この先 300ゲームの収支（換金率 5.6枚/100円）'],
    [{games: '8000', bigs: '25', regs: '30', hbigs: '', arGames: '', remaining: '', rate: '5'},
      '8000ゲーム　ＢＩＧ 25回　ＲＥＧ 30回　事前の重み 1:1:1:1:2:2.5の推定', null],
  ];
  for (const [fields, basis, projection] of cases) {
    await type(page, fields);
    await answered(page, basis, projection);
    await assertSameAsCommand(page);
  }
  await page.close();
});

test('a fast run of keystrokes ends with the last input\'s answer', async () => {
  const page = await open('?games=3000&reg=8&remaining=500');
  await page.fill('#bigs', '');
  // Keystrokes as fast as they come, then one after an estimate has had time to start.
  await page.type('#bigs', '1234');
  await page.keyboard.press('Backspace');
  await page.keyboard.press('Backspace');
  await page.waitForFunction(() => performance.getEntriesByName('taviro-estimating').length > 0);
  await page.keyboard.press('Backspace');
  await page.type('#bigs', '5');
  await answered(page, '3000ゲーム　ＢＩＧ 15回　ＲＥＧ 8回の推定');
  await assertSameAsCommand(page);
  await page.close();
});

test('the buttons count, and storage and links bring the counts back', async () => {
  const page = await open('?games=3000&big=12&reg=8');
  await answered(page, '3000ゲーム　ＢＩＧ 12回　ＲＥＧ 8回の推定');
  for (const button of ['bigs"][data-by="1', 'bigs"][data-by="1', 'regs"][data-by="1',
    'regs"][data-by="-1', 'regs"][data-by="-1']) {
    await page.click(`button[data-step="${button}"]`);
  }
  await answered(page, '3000ゲーム　ＢＩＧ 14回　ＲＥＧ 7回の推定');
  await page.reload();
  await answered(page, '3000ゲーム　ＢＩＧ 14回　ＲＥＧ 7回の推定');
  await page.close();

  const reopened = await open();  // a new tab without a link: the storage
  await answered(reopened, '3000ゲーム　ＢＩＧ 14回　ＲＥＧ 7回の推定');
  await reopened.close();

  const linked = await open('?games=5000&big=20&reg=15&prior=1,1,1,2,2,2&remaining=100&rate=7.6');
  await answered(linked, '5000ゲーム　ＢＩＧ 20回　ＲＥＧ 15回　事前の重み 1:1:1:2:2:2の推定',
    'この先 100ゲームの収支（換金率 7.6枚/100円）');
  await linked.close();

  const bad = await open('?games=3000&big=abc&reg=8&hbig=-1&remaining=2000');
  await bad.waitForSelector('#link-note:not([hidden])');
  const note = await text(bad, 'link-note');
  assert.match(note, /ＢＩＧ回数「abc」: 数字で入力してください/);
  assert.match(note, /ハイパーＢＩＧ回数「-1」: 0 以上の数を入力してください/);
  assert.deepEqual(await bad.$$eval('#games, #bigs, #regs, #hbigs, #remaining',
    (inputs) => inputs.map((i) => i.value)), ['3000', '', '8', '', '2000']);
  await bad.waitForFunction(() => document.querySelector('#status').textContent !== '');
  await bad.close();
});

test('markup in a link or in storage is shown as text and runs nothing', async () => {
  const markup = '<img src=x onerror="window.ran=1">';
  const linked = await open(`?games=${encodeURIComponent(markup)}&big=12&reg=8`);
  await linked.waitForSelector('#link-note:not([hidden])');
  assert.ok((await text(linked, 'link-note')).includes(`「${markup}」`));
  assert.equal(await linked.evaluate(() => window.ran), undefined);
  await linked.close();
  const page = await openWithStorage({games: markup, bigs: '<b>1</b>', regs: '8'});
  await page.waitForSelector('#games-reason:not([hidden])');
  assert.equal(await page.$eval('#games', (e) => e.value), markup);
  assert.equal(await page.evaluate(() => window.ran), undefined);
  assert.equal(await page.$$eval('main img, main b:not([data-figure])', (e) => e.length), 0);
  await page.close();
});

test('axe finds nothing, and nothing scrolls sideways at 360 x 640', async () => {
  const page = await openWithStorage(null);  // the empty page
  await page.waitForFunction(() => document.querySelector('#status').textContent !== '');
  await page.evaluate(axeSource);  // from the driver, past the page's policy
  const violations = () => page.evaluate(async () => {
    const results = await window.axe.run(document, {resultTypes: ['violations']});
    return results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
  });
  assert.deepEqual(await violations(), []);
  await type(page, {games: '3000', bigs: '12', regs: '8', remaining: '2000'});
  await answered(page, '3000ゲーム　ＢＩＧ 12回　ＲＥＧ 8回の推定');
  assert.deepEqual(await violations(), []);
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), 360);
  await page.close();
});

test('after one visit the page loads and estimates without a network', async () => {
  const page = await open('?games=3000&big=12&reg=8');
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await answered(page, '3000ゲーム　ＢＩＧ 12回　ＲＥＧ 8回の推定');
  await context.setOffline(true);
  try {
    await page.reload();
    await page.click('button[data-step="bigs"][data-by="1"]');
    await answered(page, '3000ゲーム　ＢＩＧ 13回　ＲＥＧ 8回の推定');
  } finally {
    await context.setOffline(false);
  }
  await page.close();
});

test('nothing was said on the console, and nothing asked of another origin', () => {
  assert.deepEqual(said, []);
  assert.deepEqual(foreign, []);
});
