// The simulator and six-settings views in headless Chromium, held to the desktop's window-free run
// (TAVIRO_DESKTOP_RUN: results, money summary, curve and data file for a seed) and to
// taviro-stats' JSON (TAVIRO_STATS); cancel, refusals, accessibility and a phone's width.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, test} from 'node:test';
import {chromium} from 'playwright-core';
import {serveSite} from '../../scripts/serve_site.mjs';

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const RESULTS = ['TexD_BIG', 'TexD_HBIG', 'TexD_NBIG', 'TexD_REG', 'TexD_AR', 'LabP_BIG', 'LabP_HBIG',
  'LabP_NBIG', 'LabP_REG', 'TexD_AR150', 'TexD_AR1000', 'LabD_AR150', 'LabD_AR1000', 'TexD_BIG_LS',
  'TexD_AR150_LS', 'TexD_AR1000_LS', 'TexG_AR', 'TexST_REG', 'LabP_AR', 'TexOUT', 'TexPAY'];
const FIELDS = ['TexBIG', 'TexREG', 'TexGAME', 'TexN_BASE', 'TexAR_BASE', 'TexNBIG', 'TexHBIG', 'TexREGOUT'];
let server, origin, browser, context, folder;
const said = [];

before(async () => {
  server = await serveSite(process.env.TAVIRO_SITE);
  origin = `http://127.0.0.1:${server.address().port}/`;
  folder = mkdtempSync(join(tmpdir(), 'taviro-simulator-test-'));
  browser = await chromium.launch({executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking']});
  context = await browser.newContext({viewport: {width: 360, height: 640}, acceptDownloads: true});
  context.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') said.push(m.text()); });
  context.on('weberror', (e) => said.push(String(e.error())));
});

after(async () => {
  await browser?.close();
  server?.close();
  rmSync(folder, {recursive: true, force: true});
});

async function open(query) {
  const page = await context.newPage();
  await page.goto(`${origin}?${query}`);
  await page.waitForSelector('section.view:not([hidden])[data-ready]', {state: 'attached'});
  return page;
}

// Starts the run and waits for its results (or its message).
async function run(page) {
  const runs = await page.$eval('#simulator', (s) => Number(s.dataset.runs ?? 0));
  await page.click('#ComStart');
  await page.waitForFunction((n) => Number(document.querySelector('#simulator').dataset.runs ?? 0) > n ||
    !document.querySelector('#run-message').hidden, runs, {timeout: 120000});
}

const shown = (page, ids) => page.$$eval(ids.map((id) => `#${id}`).join(','),
  (elements) => Object.fromEntries(elements.map((e) => [e.id, e.textContent])));

function desktop(seed, history, setting, texts, rate) {
  return JSON.parse(execFileSync(process.env.TAVIRO_DESKTOP_RUN,
    [seed, history, setting, ...FIELDS.map((f) => texts[f]), rate, folder], {encoding: 'utf8'}));
}

// The curve's marks (the text's ink) and the plot's frame, in the picture's twips.
const marks = (page) => page.$eval('#slump-chart svg', (svg) => {
  const points = (e) => e.getAttribute('points').split(' ').map((p) => p.split(',').map(Number));
  const curve = [...svg.querySelectorAll('[stroke="#222222"], polygon[fill="#222222"]')].map(points);
  return {curve, frame: points(svg.querySelector('polyline[stroke="#999999"]'))};
});

test('results, money summary, curve and data file are the desktop\'s, for three runs', async () => {
  const cases = [
    ['seed=42', '1', {}, '5'],
    ['seed=7&games=10000&rate=7.6', '6', {}, '7.6'],
    ['seed=123456789&setting=3&big=200&reg=0.004&games=5000&nbase=-1&arbase=2&nbig=400&hbig=600&regout=100',
      '3', {TexBIG: '200', TexREG: '0.004', TexN_BASE: '-1', TexAR_BASE: '2', TexNBIG: '400', TexHBIG: '600',
        TexREGOUT: '100'}, '5'],
  ];
  for (const [query, setting, typed, rate] of cases) {
    const page = await open(`view=simulator&${query}`);
    if (!query.includes('setting=')) await page.fill('#Combo1', setting);  // fills the preset
    await page.waitForFunction((s) => s === '1' || document.querySelector('#TexBIG').value !== '485.452', setting);
    const texts = await page.$$eval(FIELDS.map((f) => `#${f}`).join(','),
      (inputs) => Object.fromEntries(inputs.map((i) => [i.id, i.value])));
    for (const [id, value] of Object.entries(typed)) assert.equal(texts[id], value);
    await run(page);
    const want = desktop(query.match(/seed=(\d+)/)[1], '1', setting, texts, rate);
    assert.deepEqual(await shown(page, RESULTS), Object.fromEntries(RESULTS.map((id, i) => [id, want.results[i]])));
    assert.deepEqual(Object.values(await shown(page, ['LabMin', 'LabOUT', 'LabPlus'])), want.money);

    // The designed scale's curve on the desktop's points, in order.
    await page.check('input[value="designed"]');
    const {curve} = await marks(page);
    const points = curve.flatMap((line, i) => (i === 0 ? line : line.slice(1)));
    const expected = [want.segments[0].slice(2), ...want.segments.map((s) => s.slice(0, 2))];
    assert.equal(curve.length, 1);
    assert.equal(points.length, expected.length);
    points.forEach(([x, y], i) => assert.ok(Math.abs(x - expected[i][0]) <= 0.0051 && Math.abs(y - expected[i][1]) <= 0.0051,
      `point ${i}: ${x},${y} against ${expected[i]}`));
    // Fitted: the lowest and highest balance on the plot's bottom and top edges.
    await page.check('input[value="fitted"]');
    const fitted = await marks(page);
    const ys = fitted.curve.flat().map(([, y]) => y);
    assert.deepEqual([Math.min(...ys), Math.max(...ys)], [fitted.frame[0][1] - 7.5, fitted.frame[1][1] + 7.5]);

    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#Command1')]);
    assert.equal(download.suggestedFilename(), `Taviro${setting}.csv`);
    assert.ok(readFileSync(await download.path()).equals(readFileSync(want.file)), 'the data file\'s bytes');
    await page.waitForSelector('#file-note:not(:empty)');
    assert.deepEqual(Object.values(await shown(page, ['run-seed', 'file-note'])),
      [`シード ${query.match(/seed=(\d+)/)[1]}`, `Taviro${setting}.csv を保存しました`]);
    await page.close();
  }
});

test('a cancelled run leaves the last results, and refusals say what the desktop says', async () => {
  const page = await open('view=simulator&seed=5&history=0&games=1000');
  await run(page);
  const before = await shown(page, RESULTS);
  await page.fill('#TexGAME', '2147483647');
  await page.click('#ComStart');
  await page.waitForSelector('#run-progress:not([hidden])');
  assert.match(await page.textContent('#run-share'), /ゲーム/);
  await page.click('#run-cancel');
  await page.waitForSelector('#ComStart:not([disabled])');
  assert.deepEqual(await shown(page, RESULTS), before);
  assert.ok(await page.isHidden('#run-progress'));

  // The last row is beyond the page's memory for a history (a bonus almost every game); the
  // desktop's limit is the machine's, so only the text is held to the desktop's message.
  for (const [games, history, message, big] of [['0', false, 'シミュレート回数を指定してください'],
    ['0', true, 'シミュレート回数を指定してください。'], ['1e10', true, 'シミュレートゲーム数が大きすぎます。'],
    ['300000000', true, 'メモリが不足しています。シミュレートゲーム数を減らしてください。', '1']]) {
    await page.fill('#TexGAME', games);
    await page.fill('#TexBIG', big ?? '485.452');
    await page.setChecked('#history', history);
    await run(page);
    assert.equal(await page.textContent('#run-message'), message);
    if (!big) {
      assert.equal(desktop('1', history ? '1' : '0', '1', {...Object.fromEntries(FIELDS.map((f) => [f, '1'])),
        TexGAME: games}, '5').message, message);
    }
    assert.deepEqual(await shown(page, RESULTS), before);
  }
  await page.close();
});

test('the page refuses an unreadable seed and sessions beyond its memory, and says a broken module in Japanese', async () => {
  const page = await open('view=simulator&seed=12x&history=0&games=1000');
  await run(page);
  assert.equal(await page.textContent('#run-message'),
    'アドレスの seed には 0 から 18446744073709551615 までの整数を指定してください。');
  assert.ok(await page.$eval('#run-message', (e) => {  // below the fields: scrolled into view
    const box = e.getBoundingClientRect();
    return box.top >= 0 && box.bottom <= innerHeight;
  }));
  await page.goto(`${origin}?view=sessions&sessions=1000000000&games=1`);
  await page.waitForSelector('#sessions[data-ready]');
  await page.click('#sessions-run');
  await page.waitForSelector('#sessions-message:not([hidden])');
  assert.match(await page.textContent('#sessions-message'),
    /^--sessions 1000000000 には約 \d+\.\d GB のメモリが必要ですが、使えるのは約 1\.1 GB です。$/);
  await page.close();

  // Without its WebAssembly the worker fails; the English reason goes to the console only.
  const broken = await browser.newContext({serviceWorkers: 'block'});
  const errors = [];
  broken.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  await broken.route('**/taviro.wasm', (route) => route.fulfill({status: 404, body: ''}));
  const lost = await broken.newPage();
  await lost.goto(`${origin}?view=simulator`);
  await lost.waitForSelector('#run-message:not([hidden])');
  assert.equal(await lost.textContent('#run-message'),
    '計算を続けられませんでした。数値を小さくするか、ページを読み込み直してください。');
  assert.ok(errors.length > 0);
  await broken.close();
});

test('the six settings show taviro-stats\' figures for the same seed', async () => {
  const page = await open('view=sessions&sessions=300&games=2000&rate=5.6&seed=99');
  await page.click('#sessions-run');
  await page.waitForSelector('#sessions-answer:not([hidden])', {timeout: 120000});
  const json = JSON.parse(execFileSync(process.env.TAVIRO_STATS,
    ['--sessions', '300', '--games', '2000', '--rate', '5.6', '--seed', '99', '--format', 'json']));
  const rows = await page.$$eval('#sessions-table tbody tr', (trs) => trs.map((tr) =>
    [tr.dataset.key, [...tr.querySelectorAll('td')].map((td) => td.textContent)]));
  assert.equal(rows.length, Object.keys(json.settings[0]).length - 1);
  for (const [key, cells] of rows) {
    cells.forEach((cell, s) => {
      const places = cell.split('.')[1]?.length ?? 0;
      assert.ok(Math.abs(Number(cell) - json.settings[s][key]) <= 0.5 * 10 ** -places + 1e-9,
        `${key} 設定${s + 1}: ${cell} against ${json.settings[s][key]}`);
    });
  }
  assert.match(await page.textContent('#sessions-lines'), /シード 99/);
  assert.ok(await page.$$eval('#sessions-chart svg polygon', (p) => p.length >= 6));
  await page.close();
});

test('axe finds nothing on either view, and nothing scrolls sideways at 360 x 640', async () => {
  for (const [query, button, done] of [['view=simulator&seed=3', '#ComStart', '#graph-side:not([hidden])'],
    ['view=sessions&sessions=50&games=500&seed=3', '#sessions-run', '#sessions-answer:not([hidden])']]) {
    const page = await open(query);
    await page.click(button);
    await page.waitForSelector(done, {timeout: 120000});
    await page.evaluate(axeSource);
    const violations = await page.evaluate(async () => (await window.axe.run(document, {resultTypes: ['violations']}))
      .violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`));
    assert.deepEqual(violations, []);
    assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), 360);
    await page.close();
  }
  assert.deepEqual(said, []);
});
