// vok-center console: draws the charts of a generator page from the JSON
// block the page carries. Served from the center itself; the page's policy
// allows no inline script and no other origin.
(function () {
  'use strict';

  function lineChart(canvas, labels, values, label, color) {
    return new Chart(canvas, {
      type: 'line',
      data: {
        labels: labels,
        datasets: [{ label: label, data: values, borderColor: color, backgroundColor: color,
          pointRadius: values.length > 60 ? 0 : 3, tension: 0, fill: false }]
      },
      options: {
        animation: false,
        maintainAspectRatio: false,
        plugins: { legend: { display: false } },
        scales: {
          x: { ticks: { maxTicksLimit: canvas.parentNode.clientWidth < 480 ? 3 : 6, maxRotation: 0 } },
          y: { beginAtZero: false }
        }
      }
    });
  }

  function barChart(canvas, labels, values) {
    return new Chart(canvas, {
      type: 'bar',
      data: { labels: labels, datasets: [{ label: 'Entries', data: values, backgroundColor: '#b3261e' }] },
      options: {
        animation: false,
        maintainAspectRatio: false,
        indexAxis: 'y',
        plugins: { legend: { display: false } },
        scales: {
          x: { beginAtZero: true, ticks: { precision: 0 } },
          y: { ticks: { callback: function (value) {
            var text = this.getLabelForValue(value);
            return text.length > 28 ? text.slice(0, 27) + '\u2026' : text;
          } } }
        }
      }
    });
  }

  function draw() {
    var block = document.getElementById('chart-data');
    if (!block || typeof Chart === 'undefined') {
      return;
    }
    var data;
    try {
      data = JSON.parse(block.textContent);
    } catch (e) {
      return;
    }
    var charts = [
      ['chart-exposures', data.exposures, 'Exposures', '#1f5fbf'],
      ['chart-errors', data.errors, 'Errors', '#b3261e'],
      ['chart-heat', data.heat, 'Heat units', '#c77700']
    ];
    charts.forEach(function (c) {
      var canvas = document.getElementById(c[0]);
      if (canvas) {
        lineChart(canvas, data.labels, c[1], c[2], c[3]);
      }
    });
    var codes = document.getElementById('chart-codes');
    if (codes) {
      barChart(codes, data.codes, data.codeCounts);
    }
  }

  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', draw);
  } else {
    draw();
  }
})();
