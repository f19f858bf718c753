// The page: its views, one shown at a time by the address's `view` (the estimate when none), each
// with a worker of its own and a query of its own in the address; and the service worker that
// keeps the page working offline.
import {WorkerBridge} from './worker_bridge.js';
import {EstimateView} from './estimate_view.js';
import {SpeedView} from './speed_view.js';
import {SimulatorView} from './simulator_view.js';
import {SessionsView} from './sessions_view.js';

const VIEWS = {
  simulator: {make: (section) => new SimulatorView(section), title: 'Taviro シミュレーション'},
  sessions: {make: (section) => new SessionsView(section), title: 'Taviro 設定比較'},
  estimate: {make: (section) => new EstimateView(section, new WorkerBridge()), title: 'Taviro 設定推定'},
  speed: {make: (section) => new SpeedView(section, new WorkerBridge()), title: 'Taviro 計算の速さ'},
};
const started = {};

function show(name) {
  if (!(name in VIEWS)) name = 'estimate';
  for (const section of document.querySelectorAll('main > .view')) {
    section.hidden = section.id !== name;
  }
  for (const link of document.querySelectorAll('nav a[data-view]')) {
    if (link.dataset.view === name) link.setAttribute('aria-current', 'page');
    else link.removeAttribute('aria-current');
  }
  document.title = VIEWS[name].title;
  if (!started[name]) {
    started[name] = VIEWS[name].make(document.getElementById(name));
    started[name].start(new URLSearchParams(location.search));
  }
}

for (const link of document.querySelectorAll('nav a[data-view]')) {
  link.addEventListener('click', (event) => {
    event.preventDefault();
    const view = link.dataset.view;
    const query = started[view]?.query() ?? (view === 'estimate' ? '' : `view=${view}`);
    history.pushState(null, '', query ? `?${query}` : location.pathname);
    show(view);
  });
}
addEventListener('popstate', () => show(new URLSearchParams(location.search).get('view')));

show(new URLSearchParams(location.search).get('view'));

if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js').catch(() => {
    // Without it the page works as long as it is online.
  });
}
