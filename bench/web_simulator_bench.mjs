// The simulator and six-settings views in the system's headless Chromium: the time from the start
// button to the results shown for a light run of 10^8 games and a run of 10^7 games with history
// and its graph, the page's peak memory for the latter, and the six settings' sessions with the
// time their progress first shows. Prints figures; asserts nothing.
//   node bench/web_simulator_bench.mjs [SITE] [--shots FOLDER]
import {readFileSync, readdirSync} from 'node:fs';
import {join} from 'node:path';
import {chromium} from 'playwright-core';
import {serveSite} from '../scripts/serve_site.mjs';

const args = process.argv.slice(2);
const shots = args.includes('--shots') ? args.splice(args.indexOf('--shots'), 2)[1] : null;
const [site = 'build/web'] = args;
const server = await serveSite(site);
const origin = `http://127.0.0.1:${server.address().port}/`;
// Each browser carries a mark of its own on its command line, by which its processes are found.
let launched = 0;
const launch = async () => {
  const mark = `--taviro-bench=${process.pid}-${++launched}`;
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', mark]});
  browser.mark = mark;
  return browser;
};

// The peak resident memory of the renderer processes under `browser` (the page and its workers).
function rendererPeakMiB(browser) {
  const pids = readdirSync('/proc').filter((p) => /^\d+$/.test(p));
  const command = (pid) => readFileSync(`/proc/${pid}/cmdline`, 'utf8').split('\0');
  const root = Number(pids.find((pid) => { try { return command(pid).includes(browser.mark); } catch { return false; } }));
  const parent = (pid) => Number(readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ')[1]);
  let peak = 0;
  for (const pid of pids) {
    try {
      const cmd = readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      let p = Number(pid);
      while (p > 1 && p !== root) p = parent(p);
      if (p !== root || !cmd.includes('--type=renderer')) continue;
      const hwm = readFileSync(`/proc/${pid}/status`, 'utf8').match(/VmHWM:\s+(\d+)/);
      peak = Math.max(peak, Number(hwm[1]) / 1024);
    } catch {
      // a process that ended meanwhile
    }
  }
  return peak;
}

async function open(browser, query, width = 360) {
  const page = await browser.newPage({viewport: {width, height: 640}});
  await page.goto(`${origin}?${query}`);
  await page.waitForSelector('section.view:not([hidden])[data-ready]', {state: 'attached'});
  return page;
}

// Seconds from the start button to the results shown (and the browser's next frame drawn).
async function timedRun(page) {
  const runs = await page.$eval('#simulator', (s) => Number(s.dataset.runs ?? 0));
  const start = Date.now();
  await page.click('#ComStart');
  await page.waitForFunction((n) => Number(document.querySelector('#simulator').dataset.runs ?? 0) > n,
    runs, {timeout: 600000, polling: 'raf'});
  return (Date.now() - start) / 1000;
}

let browser = await launch();
let page = await open(browser, 'view=simulator&history=0&games=1000&seed=1');
await timedRun(page);  // the module compiled once
await page.fill('#TexGAME', '100000000');
const light = [await timedRun(page), await timedRun(page)];
console.log(`light run of 10^8 games in the page: ${light.map((s) => `${s.toFixed(2)} s`).join(', ')}`);
await browser.close();

browser = await launch();
page = await open(browser, 'view=simulator&games=10000000&seed=1');
const withHistory = await timedRun(page);
const svgBytes = await page.$eval('#slump-chart', (f) => f.innerHTML.length);
console.log(`10^7 games with history, results and fitted graph shown: ${withHistory.toFixed(2)} s` +
  ` (graph ${(svgBytes / 1024).toFixed(0)} KiB of SVG); renderer peak memory ${rendererPeakMiB(browser).toFixed(0)} MiB`);
const fileStart = Date.now();
const [download] = await Promise.all([page.waitForEvent('download', {timeout: 600000}), page.click('#Command1')]);
const bytes = readFileSync(await download.path()).length;
console.log(`its data file: ${(bytes / 2 ** 20).toFixed(0)} MiB in ${((Date.now() - fileStart) / 1000).toFixed(2)} s;` +
  ` renderer peak memory since start ${rendererPeakMiB(browser).toFixed(0)} MiB`);
if (shots) {
  for (const [name, width] of [['web_simulator_phone', 360], ['web_simulator_desktop', 1280]]) {
    await page.setViewportSize({width, height: 900});
    await page.screenshot({path: join(shots, `${name}.png`), fullPage: true});
  }
}
await browser.close();

browser = await launch();
page = await open(browser, 'view=sessions&sessions=10000&games=8000&rate=5&seed=1');
const start = Date.now();
await page.click('#sessions-run');
await page.waitForSelector('#sessions-progress:not([hidden])', {timeout: 600000});
const progressAt = (Date.now() - start) / 1000;
await page.waitForSelector('#sessions-answer:not([hidden])', {timeout: 600000});
console.log(`six settings, 10000 sessions x 8000 games: ${((Date.now() - start) / 1000).toFixed(2)} s,` +
  ` progress shown after ${progressAt.toFixed(2)} s`);
if (shots) {
  for (const [name, width] of [['web_sessions_phone', 360], ['web_sessions_desktop', 1280]]) {
    await page.setViewportSize({width, height: 900});
    await page.screenshot({path: join(shots, `${name}.png`), fullPage: true});
  }
}
await browser.close();
server.close();
