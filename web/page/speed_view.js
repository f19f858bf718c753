// How fast this browser plays: the light edition's run of 1000000 games, timed in a worker of
// its own, as the native benchmark BM_LightRun times it.
const GAMES = 1000000;
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

  async #measure() {
    this.#button.disabled = true;
    this.#result.textContent = '測っています…';
    try {
      const {gamesPerSecond, runs} =
        await this.#bridge.call('timeLightRun', {games: GAMES, least: LEAST_MS});
      this.#result.textContent = `1秒あたり ${Math.round(gamesPerSecond).toLocaleString('ja-JP')} ゲーム（${runs} 回の実行のうち最速）`;
      this.#result.dataset.gamesPerSecond = String(gamesPerSecond);
    } catch (error) {
      this.#result.textContent = `測れませんでした（${error.message}）`;
    } finally {
      this.#button.disabled = false;
    }
  }
}
