// The web page in the system's headless Chromium: what it transfers, how long until its first
// answer, how soon an answer follows the last keystroke and how long the page's thread is busy
// while typing, and the games per second of its light run beside the native BM_LightRun.
// Prints figures; asserts nothing.
//   node bench/web_page_bench.mjs [SITE] [NATIVE_BENCH] [--shots FOLDER]
// SITE defaults to build/web, NATIVE_BENCH to build/release/bench/taviro_bench (left out when
// missing); --shots writes the page at a phone's and a desktop's width.
import {execFileSync} from 'node:child_process';
import {existsSync} from 'node:fs';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {chromium} from 'playwright-core';
import {serveSite} from '../scripts/serve_site.mjs';

const args = process.argv.slice(2);
const shots = args.includes('--shots') ? args.splice(args.indexOf('--shots'), 2)[1] : null;
const [site = 'build/web', native = 'build/release/bench/taviro_bench'] = args;
const README_LINK = '?games=3000&big=12&reg=8&remaining=2000';

const server = await serveSite(site);
const origin = `http://127.0.0.1:${server.address().port}/`;
const profile = mkdtempSync(join(tmpdir(), 'taviro-bench-'));
const browser = await chromium.launchPersistentContext(profile, {
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  viewport: {width: 360, height: 640},
});
const answered = (page) => page.waitForFunction(
  () => performance.getEntriesByName('taviro-answer').length > 0, null, {timeout: 120000});
const ms = (x) => `${Math.round(x)} ms`;

// A cold visit: every byte the page and its worker receive, and the time to the first answer.
const page = await browser.newPage();
let received = 0;
const files = [];
page.on('requestfinished', async (request) => {
  const sizes = await request.sizes();
  received += sizes.responseBodySize + sizes.responseHeadersSize;
  files.push(`${new URL(request.url()).pathname} ${sizes.responseBodySize}`);
});
await page.goto(origin + README_LINK);
await answered(page);
// When the worker answered its first call, when the estimate was asked for, when it was shown.
const steps = () => page.evaluate(() => ['taviro-ready', 'taviro-estimating', 'taviro-answer']
  .map((name) => performance.getEntriesByName(name)[0].startTime));
const [ready, estimating, cold] = await steps();
console.log(`cold visit: ${(received / 1024).toFixed(1)} KiB received (gzip), first answer at ${ms(cold)}` +
  ` (worker ready at ${ms(ready)}, estimate asked at ${ms(estimating)})`);
console.log(`  ${files.sort().join(', ')}`);

// Again, with the service worker and the module from the first visit.
await page.reload();
await answered(page);
const [warmReady, warmEstimating, warm] = await steps();
console.log(`second visit: first answer at ${ms(warm)} (worker ready at ${ms(warmReady)},` +
  ` estimate asked at ${ms(warmEstimating)})`);

// Typing the README's example, the last keystroke the last 0 of 2000 remaining games.
await page.goto(origin);
await page.evaluate(() => {
  window.busy = [];
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) window.busy.push(entry.duration);
  }).observe({type: 'longtask'});
  window.slowest = 0;
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) window.slowest = Math.max(window.slowest, entry.duration);
  }).observe({type: 'event', durationThreshold: 16});
  addEventListener('input', (event) => { window.lastInput = event.timeStamp; }, true);
});
for (const [field, text] of [['games', '3000'], ['bigs', '12'], ['regs', '8'], ['remaining', '200']]) {
  await page.fill(`#${field}`, '');
  await page.type(`#${field}`, text, {delay: 60});
}
await page.evaluate(() => performance.clearMarks('taviro-answer'));
await page.type('#remaining', '0');
await answered(page);
const typing = await page.evaluate(() => ({
  after: performance.getEntriesByName('taviro-answer')[0].startTime - window.lastInput,
  longTasks: window.busy, slowestEvent: window.slowest}));
console.log(`README example: answer ${ms(typing.after)} after the last keystroke (150 ms of it the pause)`);
console.log(`  page thread while typing: ${typing.longTasks.length} tasks over 50 ms` +
  `${typing.longTasks.length ? ` (longest ${ms(Math.max(...typing.longTasks))})` : ''},` +
  ` slowest input to paint ${ms(typing.slowestEvent)}`);

// The light run, in the page and natively.
await page.goto(`${origin}?view=speed`);
await page.click('#speed-run');
await page.waitForFunction(() => document.querySelector('#speed-result').dataset.gamesPerSecond,
  null, {timeout: 120000});
const web = Number(await page.$eval('#speed-result', (e) => e.dataset.gamesPerSecond));
let line = `light run in the page: ${(web / 1e6).toFixed(1)} M games/s`;
if (existsSync(native)) {
  const out = JSON.parse(execFileSync(native, ['--benchmark_filter=^BM_LightRun/1000000$',
    '--benchmark_format=json', '--benchmark_repetitions=3'], {encoding: 'utf8'}));
  const best = Math.max(...out.benchmarks.filter((b) => b.run_type === 'iteration')
    .map((b) => b.items_per_second));
  line += `; native BM_LightRun ${(best / 1e6).toFixed(1)} M games/s; ratio ${(web / best).toFixed(2)}`;
}
console.log(line);

// A phone's first screen and its answer further down, and a desktop's whole page.
if (shots) {
  const shot = await browser.newPage();
  for (const [name, viewport, scroll] of [['web_phone', {width: 360, height: 640}, null],
    ['web_phone_answer', {width: 360, height: 640}, '#basis'],
    ['web_desktop', {width: 1280, height: 900}, null]]) {
    await shot.setViewportSize(viewport);
    await shot.goto(origin + README_LINK);
    await answered(shot);
    if (scroll) await shot.$eval(scroll, (e) => e.scrollIntoView());
    await shot.screenshot({path: join(shots, `${name}.png`), fullPage: name === 'web_desktop'});
  }
  await shot.close();
  console.log(`screenshots in ${shots}`);
}
await browser.close();
server.close();
rmSync(profile, {recursive: true, force: true});
