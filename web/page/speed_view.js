// How fast this browser plays: the light edition's run, timed in a worker of its own, as the
// native benchmark BM_LightRun times it. A run of 100000000 games lasts a good part of a second,
// far above the coarse clock a page is given.
import {failureText} from './worker_bridge.js';

const GAMES = 100000000;
const LEAST_MS = 1000;

export class SpeedView {
  #bridge;
  #button;
  #result;

  constructor(section, bridge) {
    this.#bridge = bridge;
    this.#button = section.querySelector('#speed-run');
    this.#result = section.querySelector('#speed-result');
    this.#button.addEventListener('click', () => this.#measure());
  }

  start() {}

  query() {
    return 'view=speed';
  }

  async #measure() {
    this.#button.disabled = true;
    this.#result.textContent = '測っています…';
    try {
      const {gamesPerSecond, runs} =
        await this.#bridge.call('timeLightRun', {games: GAMES, least: LEAST_MS});
      this.#result.textContent = `1秒あたり ${Math.round(gamesPerSecond).toLocaleString('ja-JP')} ゲーム（${runs} 回の実行のうち最速）`;
      this.#result.dataset.gamesPerSecond = String(gamesPerSecond);
    } catch (error) {
      this.#result.textContent = failureText(error, '測れませんでした。ページを読み込み直してください。');
    } finally {
      this.#button.disabled = false;
    }
  }
}
